# cmake -D "FILES=a.cpp;b.h" -P CheckLayerIncludes.cmake
# Fails when one of FILES includes a header of a Qt module with widgets or
# graphics, spelt any way Qt's include root reaches it (<QtWidgets/QDialog>,
# <QtGui>), since the library's link line cannot refuse those spellings.
foreach(file IN LISTS FILES)
    file(STRINGS "${file}" includes
         REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]Qt(Gui|Widgets|PrintSupport|Svg|SvgWidgets|OpenGL|OpenGLWidgets)[/>\"]")
    if(includes)
        message(SEND_ERROR "${file} is below gui and may not include: ${includes}")
    endif()
endforeach()
