// PRINT USING with any format and any items, numbers of every bit pattern
// included: a result or one of the errors 5, 6 and 13, nothing else.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/print_using.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::string format = in.ConsumeRandomLengthString(512);
  std::vector<rt::UsingItem> items;
  while (in.remaining_bytes() > 0 && items.size() < 16) {
    if (in.ConsumeBool()) {
      items.emplace_back(in.ConsumeRandomLengthString(64));
    } else {
      items.push_back(
          rt::UsingItem::raw(std::bit_cast<float>(in.ConsumeIntegral<std::uint32_t>())));
    }
  }
  try {
    (void)rt::format_using(format, items);
  } catch (const rt::RtError& e) {
    if (e.number() != 5 && e.number() != 6 && e.number() != 13) std::abort();
  }
  return 0;
}
