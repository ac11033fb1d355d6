#include "app/ui/menu_tree.h"

namespace orvantix {

namespace {
using K = MenuKind;
constexpr MenuEntry kTree[] = {
    {1, "&Start/Stop", "mnuStartStop", 0, K::kSubMenu, true},
    {2, "&Start", "mnuStart", 0, K::kCommand, true},
    {2, "Start in &30 seconds", "mnuTimer", 0, K::kCommand, true},
    {1, "Sus&pend", "mnuSuspend", 0, K::kCommand, false},
    {1, "Se&ttings", "mnuSettings", 0, K::kSubMenu, true},
    {2, "Video &Device", "mnuDeviceMain", 0, K::kSubMenu, true},
    {3, "(none)", "mnuDevice", 1, K::kRadio, false},
    {2, "Video &Source", "mnuSource", 0, K::kCommand, true},
    {2, "Video &Format", "mnuFormat", 0, K::kCommand, true},
    {2, "Video &Compression", "mnuCompress", 0, K::kCommand, true},
    {2, "-", "mnuDiv5", 0, K::kSeparator, true},
    {2, "&Capture &Audio", "mnuAudio", 0, K::kCheck, true},
    {2, "Audio F&ormat", "mnuAudioFormat", 0, K::kCommand, true},
    {2, "-", "mnuDiv1", 0, K::kSeparator, true},
    {2, "&Sensitivity", "mnuSensitivityMain", 0, K::kSubMenu, true},
    {3, "&Very high", "mnuSensitivity", 1, K::kRadio, true},
    {3, "&High", "mnuSensitivity", 2, K::kRadio, true},
    {3, "&Medium", "mnuSensitivity", 3, K::kRadio, true},
    {3, "&Low", "mnuSensitivity", 4, K::kRadio, true},
    {3, "V&ery low", "mnuSensitivity", 5, K::kRadio, true},
    {2, "&Stop recording after...", "mnuRecordingMain", 0, K::kSubMenu, true},
    {3, "...end of activity plus...", "mnuTimeType", 1, K::kRadio, true},
    {3, "...a &fixed time of...", "mnuTimeType", 2, K::kRadio, true},
    {3, "-", "mnuDiv10", 0, K::kSeparator, true},
    {3, "10 seconds", "mnuRec", 1, K::kRadio, true},
    {3, "20 seconds", "mnuRec", 2, K::kRadio, true},
    {3, "30 seconds", "mnuRec", 3, K::kRadio, true},
    {3, "1 minute", "mnuRec", 4, K::kRadio, true},
    {3, "2 minutes", "mnuRec", 5, K::kRadio, true},
    {3, "5 minutes", "mnuRec", 6, K::kRadio, true},
    {2, "&Refresh base image every...", "mnuRefreshBase", 0, K::kSubMenu, true},
    {3, "30 seconds", "mnuRefresh", 1, K::kRadio, true},
    {3, "1 minute", "mnuRefresh", 2, K::kRadio, true},
    {3, "5 minutes", "mnuRefresh", 3, K::kRadio, true},
    {3, "10 minutes", "mnuRefresh", 4, K::kRadio, true},
    {3, "30 minutes", "mnuRefresh", 5, K::kRadio, true},
    {3, "1 hour", "mnuRefresh", 6, K::kRadio, true},
    {3, "Never", "mnuRefresh", 7, K::kRadio, true},
    {3, "-", "mnuDiv9", 0, K::kSeparator, true},
    {3, "&No refresh when recording", "mnuSuspendRefresh", 0, K::kCheck, true},
    {2, "-", "mnuDiv8", 0, K::kSeparator, true},
    {2, "Show Video &Statistics", "mnuStat", 0, K::kCheck, true},
    {2, "-", "mnuDiv4", 0, K::kSeparator, true},
    {2, "&Configuration", "mnuConfig", 0, K::kCommand, true},
    {1, "&Log", "mnuLog", 0, K::kSubMenu, true},
    {2, "&Show log", "mnuLogShow", 0, K::kCommand, true},
    {2, "&Clear log", "mnuLogClear", 0, K::kCommand, true},
    {1, "&?", "mnuHelpMain", 0, K::kSubMenu, true},
    {2, "&Documentation", "mnuDoc", 0, K::kCommand, true},
    {2, "&Online Information", "mnuOnline", 0, K::kCommand, true},
    {2, "-", "mnuDiv6", 0, K::kSeparator, true},
    {2, "&About", "mnuAbout", 0, K::kCommand, true},
};
}  // namespace

std::span<const MenuEntry> MainMenuTree() { return kTree; }

}  // namespace orvantix
