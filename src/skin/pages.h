// The main window's three pages, by their number in CurrentPage.
#pragma once

#include <cstdint>

namespace tolvar {

constexpr std::uint8_t kMainPage = 0;
constexpr std::uint8_t kAdvancedPage = 1;
constexpr std::uint8_t kColourPage = 2;

enum class PageKind { Main, Advanced, Colour };

// The page a CurrentPage number shows: any number but 1 and 2 shows the main page.
constexpr PageKind PageOf(std::uint8_t currentPage) {
  if (currentPage == kAdvancedPage) return PageKind::Advanced;
  if (currentPage == kColourPage) return PageKind::Colour;
  return PageKind::Main;
}

}  // namespace tolvar
