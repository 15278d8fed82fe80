// Written addresses made from the real postal files, each with what it must resolve to: the
// oracle of the resolver's accuracy test and the input of its benchmark.
//
// From KEN_ALL.CSV: the records whose town field alone decides an address (a town of one
// record, a chome range or list, a block range, a named building's floor), each written the
// way people write addresses: prefecture left out now and then, 郡 dropped, digits in ASCII,
// full width or kanji, chome and blocks as "2-10-2", "2丁目10番2号" or "2丁目10番地の2", blanks
// and a 〒 code in front, ヶ for ケ, a building and floor behind.
// From JIGYOSYO.CSV: every large office's address written the same ways, with the office's own
// postal code and its local-government code.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace resolve_oracle {

struct WrittenAddress {
  std::string text;      // CP932
  std::string postcode;  // what the address must resolve to
  std::string dantai;    // the local government (prefecture and city) it lies in
};

// Addresses from the bytes of KEN_ALL.CSV (CP932).
std::vector<WrittenAddress> FromKenAll(std::string_view ken_all);
// Addresses from the bytes of JIGYOSYO.CSV (CP932).
std::vector<WrittenAddress> FromJigyosyo(std::string_view jigyosyo);

// The whole file, empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

}  // namespace resolve_oracle
