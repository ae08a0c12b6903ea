#include "control/SonoprobeTypeLib.h"

#include "control/SonoprobeCtrlIds.h"

namespace control {
namespace {

using platform::INVOKE_FUNC;
using platform::INVOKE_PROPERTYGET;
using platform::INVOKE_PROPERTYPUT;
using platform::TypeMember;
using platform::VT_BOOL;
using platform::VT_BSTR;
using platform::VT_I2;
using platform::VT_UI4;
using platform::VT_VOID;

void AddProperty(std::vector<TypeMember>& members, platform::DISPID id, const char16_t* name,
                 platform::VARTYPE type, const char16_t* helpText) {
    members.push_back({id, INVOKE_PROPERTYGET, name, type, {}, helpText});
    members.push_back({id, INVOKE_PROPERTYPUT, name, VT_VOID, {{name, type}}, helpText});
}

void AddMethod(std::vector<TypeMember>& members, platform::DISPID id, const char16_t* name,
               platform::VARTYPE type, const char16_t* helpText) {
    members.push_back({id, INVOKE_FUNC, name, type, {}, helpText});
}

std::vector<TypeMember> Members() {
    std::vector<TypeMember> members;
    AddProperty(members, DISPID_FilePathValue, u"_FilePath", VT_BSTR, u"property FilePath");
    AddProperty(members, DISPID_FilePath, u"FilePath", VT_BSTR, u"property FilePath");
    AddProperty(members, DISPID_ShowMessageBox, u"ShowMessageBox", VT_BOOL,
                u"property ShowMessageBox");
    AddMethod(members, DISPID_GetFileName, u"GetFileName", VT_BSTR, u"method GetFileName");
    AddMethod(members, DISPID_GetFileSize, u"GetFileSize", VT_BSTR, u"method GetFileSize");
    AddMethod(members, DISPID_GetFileTitle, u"GetFileTitle", VT_BSTR, u"method GetFileTitle");
    AddMethod(members, DISPID_GetArtist, u"GetArtist", VT_BSTR, u"method GetArtist");
    AddMethod(members, DISPID_GetAlbum, u"GetAlbum", VT_BSTR, u"method GetAlbum");
    AddMethod(members, DISPID_GetGenre, u"GetGenre", VT_BSTR, u"method GetGenre");
    AddMethod(members, DISPID_GetYear, u"GetYear", VT_BSTR, u"method GetYear");
    AddMethod(members, DISPID_GetComment, u"GetComment", VT_BSTR, u"method GetComment");
    AddMethod(members, DISPID_GetTrackNum, u"GetTrackNum", VT_BSTR, u"method GetTrackNum");
    AddMethod(members, DISPID_GetSamplingRate, u"GetSamplingRate", VT_BSTR,
              u"method GetSamplingRate");
    AddMethod(members, DISPID_GetCodec, u"GetCodec", VT_BSTR, u"method GetCodec");
    AddMethod(members, DISPID_GetChannels, u"GetChannels", VT_BSTR, u"method GetChannels");
    AddMethod(members, DISPID_GetBitrate, u"GetBitrate", VT_BSTR, u"method GetBitrate");
    AddMethod(members, DISPID_GetAdditionalInfo, u"GetAdditionalInfo", VT_BSTR,
              u"method GetAdditionalInfo");
    AddMethod(members, DISPID_GetLength, u"GetLength", VT_BSTR, u"method GetLength");
    AddMethod(members, DISPID_GetLastError, u"GetLastError", VT_BSTR, u"method GetLastError");
    AddMethod(members, DISPID_GetResult, u"GetResult", VT_I2, u"method GetResult");
    members.push_back({DISPID_WriteID3v2Tags,
                       INVOKE_FUNC,
                       u"WriteID3v2Tags",
                       VT_BOOL,
                       {{u"sFile", VT_BSTR},
                        {u"sTitle", VT_BSTR},
                        {u"sArtist", VT_BSTR},
                        {u"sAlbum", VT_BSTR},
                        {u"sYear", VT_BSTR},
                        {u"sGenre", VT_BSTR},
                        {u"sComment", VT_BSTR},
                        {u"sTrackNum", VT_BSTR},
                        {u"bUseUnicode", VT_BOOL}},
                       u"method WriteID3v2Tags"});
    AddProperty(members, DISPID_CodePage, u"CodePage", VT_UI4, u"property CodePage");
    return members;
}

} // namespace

const platform::TypeDescription& SonoprobeTypeLib::DispatchInterface() {
    static const platform::TypeDescription description{
        DIID__DSonoprobeCtrl,
        u"_DSonoprobeCtrl",
        u"Dispatch interface for Orvane Sonoprobe Control",
        MajorVersion,
        MinorVersion,
        Members()};
    return description;
}

} // namespace control
