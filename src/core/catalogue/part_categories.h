#pragma once
// The categories of the part list in ICP: the code ranges a family's list shows, in code order.
#include <array>
#include <cstdint>
#include <string_view>

namespace quillet {

struct PartCategory {
  std::string_view text;
  uint32_t first;       // code of part-list index 0
  uint32_t last_shown;  // last code the part list shows
};

constexpr std::array<PartCategory, 7> kPartCategories{{
    {"8051 Family", 110, 143},
    {"Velmari_Arden", 200, 349},
    {"Velmari_Birch", 800, 819},
    {"Velmari_Cedar", 850, 861},
    {"Velmari_Dune", 900, 969},
    {"Ember Family", 1000, 1000},
    {"Fjord Family", 1100, 1103},
}};

constexpr uint32_t kIspListLast = 47;  // the list without categories shows codes 0..47

}  // namespace quillet
