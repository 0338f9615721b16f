#include "container/byte_reader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "container/byte_writer.h"

namespace ramulet {
namespace {

TEST(byte_reader_test, empty_data_reads_as_nothing) {
    ByteReader r;
    EXPECT_FALSE(r.load({}));
    EXPECT_EQ(r.readInt(), 0);
    EXPECT_EQ(r.readText(), "");
    EXPECT_TRUE(r.readBytes(5).empty());
    EXPECT_EQ(r.remaining(), 0);
}

TEST(byte_reader_test, value_past_the_end_is_zero_and_does_not_move) {
    const Bytes data = {1, 2, 3};
    ByteReader r(data);
    EXPECT_EQ(r.readInt(), 0);
    EXPECT_EQ(r.position(), 0);
    EXPECT_EQ(r.readBytes(10), data);
    EXPECT_EQ(r.position(), 3);
}

TEST(byte_reader_test, values_are_little_endian_and_signed) {
    const Bytes data = {0xFE, 0xFF, 0x02, 0x00, 0x00, 0x00, 0x80, 0x34, 0x12, 0x00, 0x00};
    ByteReader r(data);
    EXPECT_EQ(r.readShort(), -2);
    EXPECT_TRUE(r.readBool());  // a stored 2 is true
    EXPECT_EQ(r.readByte(), 0x80);
    EXPECT_EQ(r.readInt(), 0x1234);
}

TEST(byte_reader_test, text_stops_at_zero_byte_or_end) {
    const Bytes data = {'A', 'B', 0, 'C'};
    ByteReader r(data);
    EXPECT_EQ(r.readText(), "AB");
    EXPECT_EQ(r.position(), 3);
    EXPECT_EQ(r.readText(), "C");
    EXPECT_EQ(r.position(), 4);
    EXPECT_EQ(r.readText(), "");
}

TEST(byte_reader_test, negative_count_reads_nothing) {
    const Bytes data = {1, 2};
    ByteReader r(data);
    EXPECT_TRUE(r.readBytes(-1).empty());
    EXPECT_EQ(r.position(), 0);
}

TEST(byte_reader_test, mark_at_zero_counts_as_no_mark) {
    const Bytes data = {1, 2, 3, 4, 5, 6};
    ByteReader r(data);
    r.mark();
    r.readInt();
    EXPECT_EQ(r.sinceMark(), 0);
    r.mark();
    r.readShort();
    EXPECT_EQ(r.sinceMark(), 2);
}

TEST(byte_reader_test, copy_reads_independently) {
    const Bytes data = {1, 0, 0, 0, 2, 0, 0, 0};
    ByteReader a(data);
    ByteReader b = a;
    EXPECT_EQ(b.readInt(), 1);
    EXPECT_EQ(a.position(), 0);
}

TEST(byte_reader_test, writer_round_trips_every_encoding) {
    ByteWriter w;
    w.u8(7);
    w.i16(-3);
    w.i32(-100000);
    w.lenText(std::string("ab\0cd", 5));
    w.zeroText("xyz");
    const Bytes out = w.take();
    ByteReader r(out);
    EXPECT_EQ(r.readByte(), 7);
    EXPECT_EQ(r.readShort(), -3);
    EXPECT_EQ(r.readInt(), -100000);
    EXPECT_EQ(r.readInt(), 2);  // only the text before the zero byte is written
    EXPECT_EQ(toText(r.readBytes(2)), "ab");
    EXPECT_EQ(r.readText(), "xyz");
    EXPECT_EQ(r.remaining(), 0);
}

TEST(byte_reader_test, date_time_is_clamped) {
    ByteWriter w;
    const double big = 1e9;
    uint64_t raw;
    std::memcpy(&raw, &big, 8);
    w.u32(static_cast<uint32_t>(raw));
    w.u32(static_cast<uint32_t>(raw >> 32));
    const Bytes out = w.take();
    ByteReader r(out);
    EXPECT_EQ(r.readFloating(ValueKind::DateTime), 2958465.0);
}

}  // namespace
}  // namespace ramulet
