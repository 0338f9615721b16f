#include "tree/tree_builder.h"
