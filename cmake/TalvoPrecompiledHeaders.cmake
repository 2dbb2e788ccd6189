# The Qt, GoogleTest and standard headers that most sources include, compiled once for each of
# three kinds of target and reused by every target of that kind: a fresh build parses them a few
# times instead of once a source file. The simulator's targets, which carry no Qt, take none.
#
# A compiler cache (ccache) does not reuse compilations that read a precompiled header unless it
# is told to be lax about them; with one, the cache serves rebuilds better, so the default is off.
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
  set(talvo_pch_default OFF)
else()
  set(talvo_pch_default ON)
endif()
option(TALVO_PRECOMPILE_HEADERS "Precompile the headers that most sources include" ${talvo_pch_default})

set(TALVO_PCH_CORE_HEADERS
  <QByteArray> <QDir> <QFile> <QFileInfo> <QString> <QStringList>
  <algorithm> <cstdint> <cstring> <filesystem> <functional> <map> <memory> <optional> <string>
  <string_view> <vector>)
set(TALVO_PCH_CORE_LIBS Qt6::Core)
set(TALVO_PCH_WIDGETS_HEADERS ${TALVO_PCH_CORE_HEADERS}
  <QApplication> <QCheckBox> <QComboBox> <QDialog> <QLabel> <QLineEdit> <QPainter> <QPushButton>
  <QWidget>)
set(TALVO_PCH_WIDGETS_LIBS Qt6::Widgets)
set(TALVO_PCH_TESTS_HEADERS ${TALVO_PCH_WIDGETS_HEADERS} <gtest/gtest.h>)
set(TALVO_PCH_TESTS_LIBS Qt6::Widgets GTest::gtest)

# talvo_precompiled_headers(CORE|WIDGETS|TESTS target...)
# The headers of a kind are compiled in a target of their own, which defines no macro of any
# one user (Qt's test library defines its own directories in each test program), and the
# targets reuse them. A reused header whose compile flags do not match is refused by the
# compiler with a warning (-Winvalid-pch), which the test build turns into an error.
function(talvo_precompiled_headers kind)
  if(NOT TALVO_PRECOMPILE_HEADERS)
    return()
  endif()
  string(TOLOWER "talvo_pch_${kind}" owner)
  if(NOT TARGET ${owner})
    add_library(${owner} OBJECT ${CMAKE_SOURCE_DIR}/cmake/PrecompiledHeaders.cpp)
    target_link_libraries(${owner} PRIVATE ${TALVO_PCH_${kind}_LIBS})
    set_target_properties(${owner} PROPERTIES AUTOMOC OFF)
    talvo_warnings(${owner})
    target_precompile_headers(${owner} PRIVATE ${TALVO_PCH_${kind}_HEADERS})
  endif()
  foreach(target ${ARGN})
    target_precompile_headers(${target} REUSE_FROM ${owner})
    target_compile_options(${target} PRIVATE -Winvalid-pch)
  endforeach()
endfunction()
