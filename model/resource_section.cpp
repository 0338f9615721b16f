#include "model/project_model.h"
