#include "platform/ComPtr.h"
#include "platform/DispatchArguments.h"
#include "platform/TableTypeInfo.h"
#include "platform/TypeDescription.h"

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

const GUID SampleIid{0x11111111, 0x2222, 0x3333, {4, 4, 5, 5, 5, 5, 5, 5}};

const TypeDescription& Sample() {
    static const TypeDescription type{
        SampleIid,
        u"_DSample",
        u"Sample interface",
        1,
        0,
        {{1, INVOKE_PROPERTYGET, u"Level", VT_UI4, {}, u"property Level"},
         {1, INVOKE_PROPERTYPUT, u"Level", VT_VOID, {{u"Level", VT_UI4}}, u"property Level"},
         {2,
          INVOKE_FUNC,
          u"Tag",
          VT_BOOL,
          {{u"sName", VT_BSTR}, {u"bFlag", VT_BOOL}},
          u"method Tag"}}};
    return type;
}

VARIANT Text(const char16_t* text) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(text);
    return value;
}

VARIANT Bool(VARIANT_BOOL bits) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = bits;
    return value;
}

// Arguments as a caller lists them: last first.
struct Call {
    std::vector<VARIANT> arguments;
    std::vector<DISPID> names;
    ~Call() {
        for (VARIANT& value : arguments)
            VariantClear(&value);
    }
    DISPPARAMS Parameters() {
        return {arguments.data(), names.data(), static_cast<uint32_t>(arguments.size()),
                static_cast<uint32_t>(names.size())};
    }
};

} // namespace

TEST(TypeDescription, NamesAreFoundWithoutLetterCaseWithTheirParameters) {
    const char16_t* names[] = {u"tAG", u"BFLAG", u"sname"};
    DISPID ids[3];
    ASSERT_EQ(S_OK, LookUpNames(Sample(), names, 3, ids));
    EXPECT_EQ(2, ids[0]);
    EXPECT_EQ(1, ids[1]);
    EXPECT_EQ(0, ids[2]);

    const char16_t* unknownMember[] = {u"Tags", u"sName"};
    EXPECT_EQ(DISP_E_UNKNOWNNAME, LookUpNames(Sample(), unknownMember, 2, ids));
    EXPECT_EQ(DISPID_UNKNOWN, ids[0]);
    EXPECT_EQ(DISPID_UNKNOWN, ids[1]);

    const char16_t* unknownParameter[] = {u"Tag", u"sNone"};
    EXPECT_EQ(DISP_E_UNKNOWNNAME, LookUpNames(Sample(), unknownParameter, 2, ids));
    EXPECT_EQ(2, ids[0]) << "the member is still named";
    EXPECT_EQ(DISPID_UNKNOWN, ids[1]);
}

TEST(TypeDescription, TheFlagsOfACallChooseTheEntry) {
    struct Case {
        DISPID id;
        uint16_t flags;
        int expectedKind; // 0: none
    } cases[] = {
        {1, DISPATCH_PROPERTYGET, INVOKE_PROPERTYGET},
        {1, DISPATCH_PROPERTYGET | DISPATCH_METHOD, INVOKE_PROPERTYGET},
        {1, DISPATCH_PROPERTYPUT, INVOKE_PROPERTYPUT},
        {2, DISPATCH_METHOD, INVOKE_FUNC},
        {2, DISPATCH_PROPERTYGET, INVOKE_FUNC},
        {2, DISPATCH_PROPERTYPUT, 0},
        {3, DISPATCH_METHOD, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.id << "/" << c.flags);
        const TypeMember* member = FindMember(Sample(), c.id, c.flags);
        if (c.expectedKind == 0) {
            EXPECT_EQ(nullptr, member);
        } else {
            ASSERT_NE(nullptr, member);
            EXPECT_EQ(c.expectedKind, member->kind);
        }
    }
}

TEST(DispatchArguments, BindsFirstParameterFromTheLastArgument) {
    Call call{{Bool(VARIANT_TRUE), Text(u"name")}, {}};
    DISPPARAMS parameters = call.Parameters();
    DispatchArguments arguments;
    ASSERT_EQ(S_OK,
              arguments.Bind(*FindMember(Sample(), 2, DISPATCH_METHOD), &parameters, nullptr));
    ASSERT_EQ(2u, arguments.size());
    EXPECT_EQ(u"name", AutomationStringText(arguments[0].bstrVal));
    EXPECT_EQ(VARIANT_TRUE, arguments[1].boolVal);
    EXPECT_NE(call.arguments[1].bstrVal, arguments[0].bstrVal) << "the arguments are copies";
}

TEST(DispatchArguments, RefusesCallsOfTheWrongShape) {
    const TypeMember& tag = *FindMember(Sample(), 2, DISPATCH_METHOD);
    const TypeMember& put = *FindMember(Sample(), 1, DISPATCH_PROPERTYPUT);
    struct Case {
        const char* what;
        const TypeMember& member;
        Call call;
        HRESULT status;
        uint32_t argumentError;
    } cases[] = {
        {"too few", tag, {{Text(u"name")}, {}}, DISP_E_BADPARAMCOUNT, 99},
        {"named arguments to a method",
         tag,
         {{Bool(0), Text(u"x")}, {0, 1}},
         DISP_E_NONAMEDARGS,
         99},
        {"put without its value's name", put, {{Text(u"5")}, {}}, DISP_E_PARAMNOTFOUND, 99},
        {"put with a foreign name", put, {{Text(u"5")}, {7}}, DISP_E_PARAMNOTFOUND, 99},
        // The first parameter (a string) takes anything; the flag does not take "maybe".
        {"no boolean", tag, {{Text(u"maybe"), Text(u"name")}, {}}, DISP_E_TYPEMISMATCH, 0},
        {"put out of range", put, {{Text(u"-3")}, {DISPID_PROPERTYPUT}}, DISP_E_OVERFLOW, 0},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        DISPPARAMS parameters = c.call.Parameters();
        DispatchArguments arguments;
        uint32_t argumentError = 99;
        EXPECT_EQ(c.status, arguments.Bind(c.member, &parameters, &argumentError));
        EXPECT_EQ(c.argumentError, argumentError);
    }
}

TEST(TableTypeInfo, PublishesMembersTypesNamesAndHelpTexts) {
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, TableTypeInfo::Create(Sample(), info.Receive()));
    TYPEATTR attributes{};
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
    EXPECT_EQ(SampleIid, attributes.guid);
    EXPECT_EQ(3, attributes.cFuncs);
    EXPECT_EQ(TKIND_DISPATCH, attributes.typekind);

    FUNCDESC function{};
    ASSERT_EQ(S_OK, info->GetFuncDesc(2, &function));
    EXPECT_EQ(2, function.memid);
    EXPECT_EQ(VT_BOOL, function.returnType);
    ASSERT_EQ(2, function.cParams);
    EXPECT_EQ(VT_BSTR, function.paramTypes[0]);
    EXPECT_EQ(VT_BOOL, function.paramTypes[1]);
    EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, info->GetFuncDesc(3, &function));

    BSTR names[4] = {};
    uint32_t count = 0;
    ASSERT_EQ(S_OK, info->GetNames(2, names, 4, &count));
    ASSERT_EQ(3u, count);
    EXPECT_EQ(u"Tag", AutomationStringText(names[0]));
    EXPECT_EQ(u"bFlag", AutomationStringText(names[2]));
    for (uint32_t i = 0; i < count; ++i)
        SysFreeString(names[i]);

    AutomationString name;
    AutomationString help;
    ASSERT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, name.Receive(), help.Receive()));
    EXPECT_EQ(u"_DSample", name.Text());
    EXPECT_EQ(u"Sample interface", help.Text());
    ASSERT_EQ(S_OK, info->GetDocumentation(1, nullptr, help.Receive()));
    EXPECT_EQ(u"property Level", help.Text());
    EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, info->GetDocumentation(9, nullptr, nullptr));
}
