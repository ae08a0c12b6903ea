#pragma once
#include "platform/TypeDescription.h"

namespace control {

// The type library SonoprobeCtrlLib, version 1.0, compiled into the component: the library's
// own texts and the description of the dispatch interface _DSonoprobeCtrl.
struct SonoprobeTypeLib {
    static constexpr char16_t Name[] = u"SonoprobeCtrlLib";
    static constexpr char16_t HelpText[] = u"Orvane Sonoprobe ActiveX Control module";
    static constexpr uint16_t MajorVersion = 1;
    static constexpr uint16_t MinorVersion = 0;
    static constexpr char16_t EventsName[] = u"_DSonoprobeCtrlEvents";
    static constexpr char16_t EventsHelpText[] = u"Event interface for Orvane Sonoprobe Control";
    static constexpr char16_t ClassName[] = u"SonoprobeCtrl";
    static constexpr char16_t ClassHelpText[] = u"Orvane Sonoprobe Control";

    static const platform::TypeDescription& DispatchInterface();
};

} // namespace control
