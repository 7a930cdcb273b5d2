#include "settings/PortSettings.h"

#include <algorithm>
#include <string>

#include "settings/PortPages.h"
#include "settings/SettingsSchema.h"

namespace tavirap {

std::int32_t MaxPortFromIndex(std::int32_t totalIndex) {
    switch (totalIndex) {
        case 0:
            return 2;
        case 1:
            return 4;
        default:
            return totalIndex * 8 - 8;
    }
}

std::int32_t IndexFromMaxPort(std::int32_t maxPort) {
    switch (maxPort) {
        case 2:
            return 0;
        case 4:
            return 1;
        default:
            return maxPort / 8 + 1;  // truncates toward zero
    }
}

std::int32_t ListIndexFromMaxPort(std::int32_t maxPort) {
    return std::clamp(IndexFromMaxPort(maxPort), 0, kTotalEntries - 1);
}

std::int32_t PageCountFromIndex(std::int32_t totalIndex) {
    return totalIndex >= 3 ? totalIndex - 1 : 1;
}

std::string PortLabel(int port) {
    return "SERIAL" + std::to_string(port);
}

PortSettings::PortSettings() {
    ResetDefaults(*this);
}

void ResetDefaults(PortSettings& settings) {
    for (const SchemaValue& value : EverySchemaValue()) {
        const StoredRow& row = *value.row;
        if (row.kind == StoredRow::kNumber) {
            row.setNumber(settings, value.index, row.fallback(value.index));
        } else {
            settings.*row.member = row.defaultText;
        }
    }
    settings.page = {};
    ShowPage(settings);
}

}  // namespace tavirap
