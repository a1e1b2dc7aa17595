#pragma once
// A topic body of about Size bytes in the rich-edit style: a title, then
// paragraphs with bold, italic, colour changes, accented bytes, \uN
// escapes, tabs and bullets.
#include <string>

inline std::string MakeTopicBody(size_t size) {
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil\\fcharset0 "
      "Arial;}"
      "{\\f2\\fnil\\fcharset2 Symbol;}}\r\n{\\colortbl ;\\red0\\green0\\blue255;\\red255\\green0\\blue0;}\r\n"
      "\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs32 A long topic\\cf0\\b0\\fs20\\par\r\n";
  int n = 0;
  while (rtf.size() < size) {
    ++n;
    if (n % 7 == 0) {
      rtf +=
          "\\pard{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'b7}}\\fi-720\\li720 ";
    } else {
      rtf += "\\pard\\f1 ";
    }
    rtf += "Paragraph " + std::to_string(n) +
           " has \\b bold\\b0 , \\i italic\\i0  and \\cf2 red\\cf0  words, caf\\'e9 "
           "na\\'efve \\u8212? dashes,\\tab a tab and a {\\ul\\cf1 \\{linkID=" +
           std::to_string(n) + "\\}} marker that goes on for a while to make the line long enough.\\par\r\n";
  }
  rtf += "}\r\n";
  return rtf;
}
