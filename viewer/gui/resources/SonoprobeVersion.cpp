// The viewer's version block, built into the program file and read back by GetVersionText.
#include "shared-ui/VersionResource.h"

SONO_VERSION_RESOURCE("SONOVERSION 1\n"
                      "FixedFileVersion 1.0.3.0\n"
                      "FixedProductVersion 1.0.0.0\n"
                      "Translation 0409 04E4\n"
                      "StringFileInfo 040904e4\n"
                      "CompanyName=Orvane\n"
                      "FileDescription=Quick information panel for audio files\n"
                      "FileVersion=1.0.3\n"
                      "InternalName=Sonoprobe\n"
                      "OriginalFilename=Sonoprobe\n"
                      "ProductName=Sonoprobe\n"
                      "ProductVersion=1.0\n"
                      "Comments=Shows information about audio file structure and internal "
                      "parameters\n")
