// Forced into every source of a target marked widget-free (ralvek_widget_free()
// in RalvekLibrary.cmake): compiling fails when the target is given the Qt
// Widgets or PrintSupport include path or definitions, however they came (a
// link, an include directory, a compile definition), so engine code can never
// start to use a widget header unnoticed.
#if defined(QT_WIDGETS_LIB) || defined(QT_PRINTSUPPORT_LIB)
#error "a widget-free target is compiled with the Qt Widgets or PrintSupport definitions"
#endif
#if defined(__has_include)
#if __has_include(<QWidget>) || __has_include(<QPrinter>)
#error "a widget-free target is compiled with the Qt Widgets or PrintSupport include path"
#endif
#endif
