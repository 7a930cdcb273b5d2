// The configuration form as data: its controls and the lists it carries.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "dialog/PortSetupForm.h"

namespace tavirap {
namespace {

TEST(PortSetupForm, ControlsAreUniqueAndInsideTheWindow) {
    const DialogTemplate& t = PortSetupTemplate();
    ASSERT_EQ(t.controls.size(), 38u);
    std::set<int> ids;
    int defaults = 0;
    for (const DialogControl& c : t.controls) {
        if (c.id != -1) {
            EXPECT_TRUE(ids.insert(c.id).second) << "id " << c.id << " twice";
        }
        EXPECT_GE(c.rect.x, 0) << c.id;
        EXPECT_GE(c.rect.y, 0) << c.id;
        EXPECT_LE(c.rect.x + c.rect.cx, t.rect.cx) << c.id;
        // A combo box's height includes its dropped-down list.
        const int height = c.kind == ControlKind::ComboBox ? 14 : c.rect.cy;
        EXPECT_LE(c.rect.y + height, t.rect.cy) << c.id;
        if (c.kind == ControlKind::Button && (c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            ++defaults;
            EXPECT_EQ(c.id, IDC_SAVE);
        }
        EXPECT_FALSE(c.style & WS_DISABLED) << c.id;
    }
    EXPECT_EQ(defaults, 1);
    for (int id : kRowAddressIds) {
        EXPECT_EQ(t.FindControl(id)->style, t.FindControl(kRowAddressIds[0])->style) << id;
    }
}

TEST(PortSetupForm, TabStopsInCreationOrder) {
    std::vector<int> tabStops;
    for (const DialogControl& c : PortSetupTemplate().controls) {
        if (c.style & WS_TABSTOP) {
            tabStops.push_back(c.id);
        }
    }
    EXPECT_EQ(tabStops,
              (std::vector<int>{1034, 1035, 1001, 1003, 1006, 1008, 1009, 1012, 1015, 1017, 1019,
                                1021, 1023, 1024, 1025, 1026, 1036, 1037, 1060}));
}

TEST(PortSetupForm, ListsAsInitData) {
    const std::vector<InitRecord> records = DecodeInitData(PortSetupTemplate().initData);
    ASSERT_EQ(records.size(), PortSetupListEntries().size());
    std::map<int, std::vector<std::string>> lists;
    for (const InitRecord& r : records) {
        EXPECT_EQ(r.message, 0x0403);
        lists[r.controlId].push_back(r.text);
    }
    const std::map<int, std::vector<std::string>> expected = {
        {1001, {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"}},
        {1003, {"600", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}},
        {1006, {"No Parity", "Odd Parity", "Even Parity"}},
        {1008, {"1", "2"}},
        {1009, {"7", "8"}},
        {1012, {"2", "4", "8", "16", "24", "32", "40", "48", "56", "64"}},
        {1060, {"Hardware", "None"}},
    };
    EXPECT_EQ(lists, expected);
}

TEST(PortSetupForm, EveryNamedFieldHasAStaticLabel) {
    const DialogTemplate& t = PortSetupTemplate();
    EXPECT_EQ(t.labels.size(), 15u);
    for (const ControlLabel& l : t.labels) {
        ASSERT_LT(l.labelIndex, t.controls.size());
        EXPECT_EQ(t.controls[l.labelIndex].kind, ControlKind::Static) << l.controlId;
        EXPECT_NE(t.FindControl(l.controlId), nullptr);
    }
}

}  // namespace
}  // namespace tavirap
