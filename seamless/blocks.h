#pragma once
// The command blocks of the seamless matrix's configuration frames, as the
// hex text the dialogs put into a frame. Each block is eight bytes: D5,
// command, value, three zero bytes, the check byte (sum of the first six
// bytes, modulo 256) and its complement (FF minus the check byte). The check
// bytes are fixed here, never computed at run time.

namespace mc::frames {

// Input signal of an input card, in the order of the dialog's list.
inline constexpr char kInputSignalDviHdmi[] = "D5 24 01 00 00 00 FA 05";
inline constexpr char kInputSignalVga[] = "D5 24 02 00 00 00 FB 04";
inline constexpr char kInputSignalComponent[] = "D5 24 03 00 00 00 FC 03";
inline constexpr char kInputSignalAv[] = "D5 24 04 00 00 00 FD 02";
inline constexpr const char *kInputSignals[] = {kInputSignalDviHdmi, kInputSignalVga,
                                                kInputSignalComponent, kInputSignalAv};

// Display mode of an input or output card.
inline constexpr char kDisplayModeAuto[] = "D5 28 01 00 00 00 FE 01";
inline constexpr char kDisplayModeFullScreen[] = "D5 28 13 00 00 00 10 EF";

// Output resolution of an output card, in the order of the dialog's list.
inline constexpr char kResolution1920x1080[] = "D5 25 01 00 00 00 FB 04";
inline constexpr char kResolution1600x1200[] = "D5 25 02 00 00 00 FC 03";
inline constexpr char kResolution1600x900[] = "D5 25 03 00 00 00 FD 02";
inline constexpr char kResolution1280x1024[] = "D5 25 04 00 00 00 FE 01";
inline constexpr char kResolution1280x800[] = "D5 25 05 00 00 00 FF 00";
inline constexpr char kResolution1280x720[] = "D5 25 06 00 00 00 00 FF";
inline constexpr char kResolution1366x768[] = "D5 25 07 00 00 00 01 FE";
inline constexpr char kResolution1024x768[] = "D5 25 08 00 00 00 02 FD";
inline constexpr const char *kResolutions[] = {
    kResolution1920x1080, kResolution1600x1200, kResolution1600x900, kResolution1280x1024,
    kResolution1280x800,  kResolution1280x720,  kResolution1366x768, kResolution1024x768};

// Output signal of an HD output card.
inline constexpr char kOutputSignalHdmi[] = "D5 32 01 00 00 00 08 F7";
inline constexpr char kOutputSignalDvi[] = "D5 32 A2 00 00 00 A9 56";

// Control priority, sent to all input and all output cards.
inline constexpr char kPrioritySerial[] = "D5 26 01 00 00 00 FC 03";
inline constexpr char kPriorityDipSwitch[] = "D5 26 00 00 00 00 FB 04";

// Sent to the same cards after every channel parameter setting.
inline constexpr char kFollowUp[] = "D5 27 12 00 00 00 0E F1";

// Picture steps of output cards, in the image adjustment dialog's order:
// entry 2k is one step up and entry 2k + 1 one step down of setting k
// (brightness, contrast, saturation, sharpness, red, green and blue gain,
// red, green and blue offset).
inline constexpr const char *kImageAdjustBlocks[20] = {
    "D5 15 01 00 00 00 EB 14", "D5 15 00 00 00 00 EA 15", // brightness
    "D5 16 01 00 00 00 EC 13", "D5 16 00 00 00 00 EB 14", // contrast
    "D5 17 01 00 00 00 ED 12", "D5 17 00 00 00 00 EC 13", // saturation
    "D5 18 01 00 00 00 EE 11", "D5 18 00 00 00 00 ED 12", // sharpness
    "D5 19 01 00 00 00 EF 10", "D5 19 00 00 00 00 EE 11", // red gain
    "D5 1A 01 00 00 00 F0 0F", "D5 1A 00 00 00 00 EF 10", // green gain
    "D5 1B 01 00 00 00 F1 0E", "D5 1B 00 00 00 00 F0 0F", // blue gain
    "D5 1C 01 00 00 00 F2 0D", "D5 1C 00 00 00 00 F1 0E", // red offset
    "D5 1D 01 00 00 00 F3 0C", "D5 1D 00 00 00 00 F2 0D", // green offset
    "D5 1E 01 00 00 00 F4 0B", "D5 1E 00 00 00 00 F3 0C", // blue offset
};

} // namespace mc::frames
