#include "platform/AutomationString.h"
#include "platform/ComVariant.h"
#include "platform/ScopedVariant.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using namespace platform;
using testsupport::U8;

namespace {

VARIANT Text(const std::u16string& text) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = AllocAutomationString(text);
    return value;
}

VARIANT Number(VARTYPE type, int64_t number) {
    VARIANT value;
    VariantInit(&value);
    value.vt = type;
    value.llVal = 0;
    switch (type) {
    case VT_I2:
        value.iVal = static_cast<int16_t>(number);
        break;
    case VT_UI4:
        value.ulVal = static_cast<uint32_t>(number);
        break;
    case VT_BOOL:
        value.boolVal = static_cast<VARIANT_BOOL>(number);
        break;
    default:
        value.llVal = number;
        value.vt = VT_I8;
        break;
    }
    return value;
}

} // namespace

TEST(AutomationString, KeepsItsLengthInThePrefixAndEndsWithAZero) {
    const std::u16string text(u"a\0b\u0416c", 5);
    BSTR copy = AllocAutomationString(text);
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(5u, SysStringLen(copy));
    uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<char*>(copy) - 4, 4);
    EXPECT_EQ(10u, prefix) << "the prefix counts bytes";
    EXPECT_EQ(u'\0', copy[5]);
    EXPECT_EQ(text, AutomationStringText(copy)) << "embedded zeros are kept";
    SysFreeString(copy);
}

TEST(AutomationString, NullStandsForTheEmptyString) {
    EXPECT_EQ(nullptr, SysAllocString(nullptr));
    EXPECT_EQ(0u, SysStringLen(nullptr));
    EXPECT_EQ(u"", AutomationStringText(nullptr));
    SysFreeString(nullptr);

    BSTR zeros = SysAllocStringLen(nullptr, 3);
    ASSERT_NE(nullptr, zeros);
    EXPECT_EQ(std::u16string(3, u'\0'), AutomationStringText(zeros));
    SysFreeString(zeros);
}

TEST(AutomationString, RefusesLengthsThePrefixCannotHold) {
    EXPECT_EQ(nullptr, SysAllocStringLen(nullptr, std::numeric_limits<uint32_t>::max()));
    EXPECT_EQ(nullptr, SysAllocStringLen(nullptr, std::numeric_limits<uint32_t>::max() / 2));
}

TEST(AutomationString, OwnerFreesWhatItHoldsAndWhatItReplaces) {
    AutomationString owner(SysAllocString(u"first"));
    EXPECT_EQ(u"first", owner.Text());
    *owner.Receive() = SysAllocString(u"second");
    EXPECT_EQ(u"second", owner.Text());
}

TEST(Variant, ClearFreesTheStringAndCopyDuplicatesIt) {
    VARIANT original = Text(u"tone");
    VARIANT copy;
    VariantInit(&copy);
    ASSERT_EQ(S_OK, VariantCopy(&copy, &original));
    EXPECT_NE(original.bstrVal, copy.bstrVal);
    EXPECT_EQ(u"tone", AutomationStringText(copy.bstrVal));
    VariantClear(&original);
    EXPECT_EQ(VT_EMPTY, original.vt);
    EXPECT_EQ(u"tone", AutomationStringText(copy.bstrVal));
    VariantClear(&copy);
}

TEST(Variant, ChangeTypeConvertsAmongIntegersBooleansAndText) {
    struct Case {
        const char* what;
        VARIANT source;
        VARTYPE target;
        HRESULT status;
        std::u16string text; // the result converted back to text
    } cases[] = {
        {"text to 16-bit", Text(u" -42 "), VT_I2, S_OK, u"-42"},
        {"text beyond 16 bits", Text(u"40000"), VT_I2, DISP_E_OVERFLOW, u""},
        {"text to unsigned", Text(u"4294967295"), VT_UI4, S_OK, u"4294967295"},
        {"negative to unsigned", Text(u"-1"), VT_UI4, DISP_E_OVERFLOW, u""},
        {"huge text", Text(u"123456789012345678901234567890"), VT_I4, DISP_E_OVERFLOW, u""},
        {"no number", Text(u"12a"), VT_I4, DISP_E_TYPEMISMATCH, u""},
        {"empty text", Text(u""), VT_I4, DISP_E_TYPEMISMATCH, u""},
        {"true in any case", Text(u"TRUE"), VT_BOOL, S_OK, u"-1"},
        {"false", Text(u"false"), VT_BOOL, S_OK, u"0"},
        {"number to bool", Number(VT_I8, 1), VT_BOOL, S_OK, u"-1"},
        {"unsigned to text", Number(VT_UI4, 1251), VT_BSTR, S_OK, u"1251"},
        {"16-bit to text", Number(VT_I2, -7), VT_BSTR, S_OK, u"-7"},
        {"bool to unsigned", Number(VT_BOOL, VARIANT_TRUE), VT_UI4, DISP_E_OVERFLOW, u""},
        {"empty to number", VARIANT{}, VT_I4, S_OK, u"0"},
        {"empty to text", VARIANT{}, VT_BSTR, S_OK, u""},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedVariant result;
        EXPECT_EQ(c.status, VariantChangeType(result.get(), &c.source, 0, c.target));
        if (c.status == S_OK) {
            EXPECT_EQ(c.target, result->vt);
            ScopedVariant text;
            ASSERT_EQ(S_OK, VariantChangeType(text.get(), result.get(), 0, VT_BSTR));
            EXPECT_EQ(U8(c.text), U8(AutomationStringText(text->bstrVal)));
        } else {
            EXPECT_EQ(VT_EMPTY, result->vt) << "a failed conversion leaves the target alone";
        }
        VariantClear(&c.source);
    }
}

TEST(Variant, SameTypePassesRawBitsAndAlphaBoolNamesTheValue) {
    // A boolean of the same type is copied, not normalised: 1 stays 1.
    VARIANT one = Number(VT_BOOL, 1);
    ScopedVariant copy;
    ASSERT_EQ(S_OK, VariantChangeType(copy.get(), &one, 0, VT_BOOL));
    EXPECT_EQ(1, copy->boolVal);

    VARIANT yes = Number(VT_BOOL, VARIANT_TRUE);
    ScopedVariant alpha;
    ASSERT_EQ(S_OK, VariantChangeType(alpha.get(), &yes, VARIANT_ALPHABOOL, VT_BSTR));
    EXPECT_EQ(u"True", AutomationStringText(alpha->bstrVal));
}

TEST(Variant, ChangeTypeInPlaceReplacesTheString) {
    VARIANT value = Text(u"21");
    ASSERT_EQ(S_OK, VariantChangeType(&value, &value, 0, VT_UI4));
    EXPECT_EQ(VT_UI4, value.vt);
    EXPECT_EQ(21u, value.ulVal);

    VARIANT unknown;
    VariantInit(&unknown);
    unknown.vt = VT_UNKNOWN;
    ScopedVariant result;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantChangeType(result.get(), &unknown, 0, VT_I4));
    EXPECT_EQ(DISP_E_BADVARTYPE, VariantChangeType(result.get(), &value, 0, VT_DISPATCH));
}

TEST(Variant, ClearExcepInfoFreesItsStrings) {
    EXCEPINFO info{};
    info.bstrSource = SysAllocString(u"source");
    info.bstrDescription = SysAllocString(u"description");
    info.scode = E_FAIL;
    ClearExcepInfo(&info);
    EXPECT_EQ(nullptr, info.bstrSource);
    EXPECT_EQ(nullptr, info.bstrDescription);
    EXPECT_EQ(S_OK, info.scode);
}
