#pragma once
#include "platform/ComInterfaces.h"
#include "platform/ComPtr.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace viewer {

// A dispatch call to the control failed: an error the control raised during the call (a file
// error or a refused conversion during an analysis) or a failure of the call itself.
class ControlCallError : public std::runtime_error {
  public:
    ControlCallError(platform::HRESULT code, const std::string& description)
        : std::runtime_error(description), code_(code) {}
    platform::HRESULT code() const { return code_; }

  private:
    platform::HRESULT code_;
};

// The viewer's binding to the analysis control, hosted the way a dialog hosts it: created by
// its class identifier through the registry and given the dialog template's initial data.
// Every member is one dispatch call by DISPID.
class CSonoprobeCtrl {
  public:
    // Creates the control through ComponentRegistration::ForProgram().
    CSonoprobeCtrl();
    // Binds to a control created elsewhere.
    explicit CSonoprobeCtrl(platform::ComPtr<platform::IDispatch> control);

    bool IsCreated() const { return static_cast<bool>(control_); }
    // Why the control could not be created (S_OK when it was).
    platform::HRESULT CreationResult() const { return creation_; }

    // Each throws ControlCallError when the call fails.
    void SetCodePage(uint32_t codePage);
    // Runs the analysis inside the call.
    void SetFilePath(const std::u16string& path);
    std::u16string GetFileName();
    std::u16string GetFileSize();
    std::u16string GetFileTitle();
    std::u16string GetArtist();
    std::u16string GetAlbum();
    std::u16string GetGenre();
    std::u16string GetYear();
    std::u16string GetComment();
    std::u16string GetTrackNum();
    std::u16string GetSamplingRate();
    std::u16string GetCodec();
    std::u16string GetChannels();
    std::u16string GetBitrate();
    std::u16string GetAdditionalInfo();
    std::u16string GetLength();
    bool WriteID3v2Tags(const std::u16string& file, const std::u16string& title,
                        const std::u16string& artist, const std::u16string& album,
                        const std::u16string& year, const std::u16string& genre,
                        const std::u16string& comment, const std::u16string& trackNum,
                        bool useUnicode);

  private:
    void LoadInitialData();
    // Arguments are given first to last and cleared by the call. The result is empty for a
    // put.
    void Invoke(platform::DISPID member, uint16_t flags, std::vector<platform::VARIANT>& arguments,
                platform::VARIANT* result);
    void PutProperty(platform::DISPID member, platform::VARIANT value);
    std::u16string CallTextMethod(platform::DISPID member);

    platform::ComPtr<platform::IDispatch> control_;
    platform::HRESULT creation_ = platform::S_OK;
};

} // namespace viewer
