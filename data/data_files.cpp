#include "data/data_files.h"

#include <cstddef>

extern const unsigned char peakwend_mainform_frm[];
extern const std::size_t peakwend_mainform_frm_size;
extern const unsigned char peakwend_constants_bas[];
extern const std::size_t peakwend_constants_bas_size;

namespace data {

std::string_view mainform_text() {
  return {reinterpret_cast<const char*>(peakwend_mainform_frm), peakwend_mainform_frm_size};
}

std::string_view constants_text() {
  return {reinterpret_cast<const char*>(peakwend_constants_bas), peakwend_constants_bas_size};
}

}  // namespace data
