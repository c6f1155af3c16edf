// The program binds libtvGeneral.so by file name and entry names: every one must resolve.
#include <gtest/gtest.h>

#include "LibraryBinding.h"
#include "tvGnHeader.h"

namespace {

TEST(Binding, EveryEntryResolvesAndTheWrappersWork) {
    const char* names[] = {"CheckAlphaNum", "ShowMsg", "SerializeArrayInt", "SerializeArrayStr",
                           "GetArrayInt", "GetArrayStr", "RemoveArrayItemStr",
                           "RemoveArrayItemInt", "RemoveArrayItemDbl", "GetInitSettingStr",
                           "GetInitSettingBool", "SetInitSettingStr", "SetInitSettingBool",
                           "AddLog", "VerboseAmount"};
    tv::LibraryBinding lib(tvGn::kFileName,
        {names[0], names[1], names[2], names[3], names[4], names[5], names[6], names[7],
         names[8], names[9], names[10], names[11], names[12], names[13], names[14]});
    ASSERT_TRUE(lib.Load());
    for (std::size_t i = 0; i < std::size(names); ++i) EXPECT_NE(lib.Slot(i), nullptr) << names[i];

    ASSERT_TRUE(tvGn::Bind());
    EXPECT_EQ(tvGn::GetArrayInt(tvGn::SerializeArrayInt({5, -1, 9}, ';')),
              (std::vector<int32_t>{5, -1, 9}));
    EXPECT_EQ(tvGn::VerboseAmount(42), "forty-two");
    tvGn::Release();
}

}  // namespace
