#pragma once
// The component's fixed identifiers, as its type library publishes them to hosts.
#include "platform/ComGuid.h"
#include "platform/ComVariant.h"

namespace control {

inline constexpr platform::CLSID CLSID_SonoprobeCtrl{
    0x5B04587E, 0x89A9, 0x4C1D, {0x8D, 0xCF, 0xCD, 0x09, 0x4E, 0x03, 0x94, 0x36}};
inline constexpr platform::CLSID CLSID_SonoprobeCtrlPropPage{
    0xB842780C, 0x5498, 0x4F94, {0x91, 0xB0, 0xE2, 0xB4, 0x30, 0x17, 0x62, 0x94}};
inline constexpr platform::GUID LIBID_SonoprobeCtrlLib{
    0x59DC7E1D, 0x7C02, 0x40FC, {0x88, 0xB5, 0xDD, 0xEC, 0xD6, 0x8A, 0xDB, 0xE0}};
inline constexpr platform::IID DIID__DSonoprobeCtrl{
    0xD5418767, 0x244A, 0x4268, {0x88, 0x4B, 0xED, 0x71, 0xAF, 0xC6, 0xDE, 0x60}};
inline constexpr platform::IID DIID__DSonoprobeCtrlEvents{
    0x52E1E995, 0x5F1C, 0x4902, {0xA0, 0xC3, 0x80, 0x81, 0x2B, 0x34, 0x31, 0xFA}};

inline constexpr char16_t ControlProgId[] = u"SONOPROBECTRL.SonoprobeCtrlCtrl.1";
inline constexpr char16_t PropertyPageProgId[] = u"SONOPROBECTRL.SonoprobeCtrlPropPage.1";

// The members of the dispatch interface _DSonoprobeCtrl.
enum SonoprobeDispId : platform::DISPID {
    DISPID_FilePathValue = 0,
    DISPID_FilePath = 1,
    DISPID_ShowMessageBox = 2,
    DISPID_GetFileName = 3,
    DISPID_GetFileSize = 4,
    DISPID_GetFileTitle = 5,
    DISPID_GetArtist = 6,
    DISPID_GetAlbum = 7,
    DISPID_GetGenre = 8,
    DISPID_GetYear = 9,
    DISPID_GetComment = 10,
    DISPID_GetTrackNum = 11,
    DISPID_GetSamplingRate = 12,
    DISPID_GetCodec = 13,
    DISPID_GetChannels = 14,
    DISPID_GetBitrate = 15,
    DISPID_GetAdditionalInfo = 16,
    DISPID_GetLength = 17,
    DISPID_GetLastError = 18,
    DISPID_GetResult = 19,
    DISPID_WriteID3v2Tags = 20,
    DISPID_CodePage = 21,
};

} // namespace control
