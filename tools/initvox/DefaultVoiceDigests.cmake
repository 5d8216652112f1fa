# Writes the header with the MD5 digests of the three default-voice generator files:
#   cmake -DOUTPUT=<header> -DBATCH=<initvox.bat> -DPROGRAM=<initvox> -DTABLE=<initvox.txt> -P DefaultVoiceDigests.cmake
# The header is left untouched when its text would not change, so nothing is rebuilt needlessly.
foreach(_var OUTPUT BATCH PROGRAM TABLE)
  if(NOT DEFINED ${_var})
    message(FATAL_ERROR "DefaultVoiceDigests.cmake needs -D${_var}=...")
  endif()
endforeach()
file(MD5 ${BATCH} _batch)
file(MD5 ${PROGRAM} _program)
file(MD5 ${TABLE} _table)
string(TOLOWER "${_batch}" _batch)
string(TOLOWER "${_program}" _program)
string(TOLOWER "${_table}" _table)
set(_text "// Made by the build from the default-voice generator files it lays out in the program folder.
#pragma once

namespace tova::defaultvoice {
inline constexpr char kBatchMd5[] = \"${_batch}\";
inline constexpr char kProgramMd5[] = \"${_program}\";
inline constexpr char kTableMd5[] = \"${_table}\";
}  // namespace tova::defaultvoice
")
set(_old "")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} _old)
endif()
if(NOT _old STREQUAL _text)
  file(WRITE ${OUTPUT} "${_text}")
endif()
