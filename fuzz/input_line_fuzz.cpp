// INPUT's conversion of a typed line for any mix of number and string
// targets: either one field per target, numbers within SINGLE range and
// equal to what VAL reads from the same field, or a request to type again.
#include <fuzzer/FuzzedDataProvider.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/input.h"
#include "runtime/values.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::vector<rt::InputKind> kinds(in.ConsumeIntegralInRange<std::size_t>(0, 6));
  for (rt::InputKind& k : kinds) k = in.ConsumeBool() ? rt::InputKind::Number : rt::InputKind::Text;
  std::string line = in.ConsumeRemainingBytesAsString();

  auto fields = rt::convert_input_line(line, kinds);
  if (!fields) {
    if (kinds.empty()) std::abort();  // nothing to assign always succeeds
    return 0;
  }
  if (fields->size() != kinds.size()) std::abort();
  // A single string without quotes takes the whole line, less the spaces around it.
  if (kinds.size() == 1 && kinds[0] == rt::InputKind::Text && line.find('"') == std::string::npos) {
    std::size_t first = line.find_first_not_of(' ');
    std::string whole = first == std::string::npos
                            ? ""
                            : line.substr(first, line.find_last_not_of(' ') - first + 1);
    if ((*fields)[0].text != whole) std::abort();
  }
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    const rt::InputField& f = (*fields)[i];
    if (kinds[i] != rt::InputKind::Number) continue;
    if (!std::isfinite(f.number) || std::fabs(f.number) > FLT_MAX) std::abort();
  }
  // A line that is one number reads the same through VAL.
  if (kinds.size() == 1 && kinds[0] == rt::InputKind::Number &&
      line.find_first_of(",\"") == std::string::npos && (*fields)[0].number != rt::VAL(line)) {
    std::abort();
  }
  return 0;
}
