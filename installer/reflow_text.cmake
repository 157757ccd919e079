# cmake -DIN=<text file> -DOUT=<text file> -P reflow_text.cmake
# Joins the lines of each paragraph into one (paragraphs are separated by blank lines; CR LF
# line ends). For the setup's licence page, which wraps text to its own width: the file's line
# breaks, made for a wider window, would break every line a second time there.
file(READ "${IN}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(STRIP "${text}" text)
string(REGEX REPLACE "\n\n+" "\r" text "${text}")
string(REPLACE "\n" " " text "${text}")
string(REPLACE "\r" "\r\n\r\n" text "${text}")
file(WRITE "${OUT}" "${text}\r\n")
