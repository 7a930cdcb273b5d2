#include "settings/PortPages.h"

#include <algorithm>

namespace tavirap {

namespace {

constexpr std::int32_t kPageLimit = kPortCount / kRowsPerPage;

// Rows shown on page 0: a total of fewer ports than a page holds (2 or 4)
// shows only those; every other page shows all eight.
int RowsOnFirstPage(std::int32_t totalIndex) {
    const std::int32_t ports = MaxPortFromIndex(totalIndex);
    return ports > 0 && ports < kRowsPerPage ? ports : kRowsPerPage;
}

}  // namespace

void StorePage(PortSettings& settings) {
    // Held to the eight pages the table has, so that no index outside the
    // list can move a page past entry 63.
    settings.page.pageCount = std::min(PageCountFromIndex(settings.totalIndex), kPageLimit);
    const int first = settings.page.currentPage * kRowsPerPage;
    for (int k = 0; k < kRowsPerPage; ++k) {
        if (!settings.rowLabel[k].empty()) {
            settings.addresses[first + k] = settings.rowAddress[k];
        }
    }
}

void ShowPage(PortSettings& settings) {
    const int page = settings.page.currentPage;
    const int shown = page == 0 ? RowsOnFirstPage(settings.totalIndex) : kRowsPerPage;
    for (int k = 0; k < kRowsPerPage; ++k) {
        const int entry = page * kRowsPerPage + k;
        if (k < shown) {
            settings.rowLabel[k] = PortLabel(entry + 1);
            settings.rowAddress[k] = settings.addresses[entry];
        } else {
            settings.rowLabel[k].clear();
            settings.rowAddress[k] = 0;
        }
    }
}

void PrevPage(PortSettings& settings) {
    StorePage(settings);
    PageState& state = settings.page;
    state.currentPage = state.currentPage == 0 ? state.pageCount - 1 : state.currentPage - 1;
    ShowPage(settings);
}

void NextPage(PortSettings& settings) {
    StorePage(settings);
    PageState& state = settings.page;
    if (state.pageCount > state.currentPage) {
        ++state.currentPage;
        if (state.currentPage == state.pageCount) {
            state.currentPage = 0;
        }
    } else {
        state.currentPage = 0;
    }
    ShowPage(settings);
}

void ChangeTotal(PortSettings& settings) {
    StorePage(settings);
    ShowPage(settings);
}

}  // namespace tavirap
