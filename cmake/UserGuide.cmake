# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DREADME=... -DOUTPUT=... -P UserGuide.cmake: the user guide the program shows on F1,
# the README's Danish part from "## Sådan udskriver du brikker" up to the next top-level
# section, as Markdown whose images lie in doc/images beside it, without the parts that are for
# the installation or the terminal.
file(READ ${README} text)
string(FIND "${text}" "## Sådan udskriver du brikker" start)
if(start LESS 0)
  message(FATAL_ERROR "${README} has no section \"Sådan udskriver du brikker\"")
endif()
string(SUBSTRING "${text}" ${start} -1 guide)
# The heading itself starts with "## "; the next "\n## " ends the Danish part.
string(SUBSTRING "${guide}" 3 -1 rest)
string(FIND "${rest}" "\n## " end)
if(end GREATER_EQUAL 0)
  math(EXPR length "${end} + 4")
  string(SUBSTRING "${guide}" 0 ${length} guide)
endif()
string(REGEX REPLACE "^## " "# " guide "${guide}")
# What is for the terminal or the installation stays in the README: such parts lie between
# "<!-- ikke i vejledningen -->" and "<!-- /ikke i vejledningen -->".
string(REGEX REPLACE "<!-- ikke i vejledningen -->[^<]*<!-- /ikke i vejledningen -->\n?" ""
       guide "${guide}")
if(guide MATCHES "ikke i vejledningen")
  message(FATAL_ERROR "${README}: a part left out of the guide is not closed (or holds a '<')")
endif()
file(WRITE ${OUTPUT}.part "${guide}")
file(COPY_FILE ${OUTPUT}.part ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.part)
