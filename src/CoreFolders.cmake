# The folders without Qt, lowest layer first. The normal build and the
# sanitizer build of the fuzz targets (tests/fuzz) both add these.
set(KX520_CORE_FOLDERS
    platform soundserver catalog messages hid protocol profiles
    keycodes lighting macros devicebase keyboard mouse mousepad headset discovery
    sim online)
# The headset's audio plug-in: Qt-free, built beside the core (a shared
# library of its own, so not in the sanitizer build of the core).
set(KX520_PLUGIN_FOLDERS audioplugin)
# The Qt folders, lowest layer first.
set(KX520_QT_FOLDERS
    desktop ui controls builder profileui pages windows
    deviceui keyboardui mouseui mousepadui headsetui
    appwindow devicelink pageactions scripting app)
