# The folders without Qt, lowest layer first. The normal build and the
# sanitizer build of the fuzz targets (tests/fuzz) both add these.
set(KX520_CORE_FOLDERS
    platform soundserver catalog messages hid protocol profiles
    keycodes lighting macros devicebase keyboard mouse headset audioplugin
    discovery sim)
# The Qt folders, lowest layer first.
set(KX520_QT_FOLDERS
    desktop ui controls builder profileui pages windows
    deviceui keyboardui mouseui
    appwindow devicelink pageactions scripting app)
