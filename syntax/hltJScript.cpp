#include "syntax/hltJScript.h"

namespace {

// The one-character symbols.
constexpr ThltCharSet kSymbols("!(),:;<=>[]{}~");

const std::vector<std::string_view> kJScriptKeywords = {"abs",
                                                        "acos",
                                                        "action",
                                                        "alert",
                                                        "alinkColor",
                                                        "Anchor",
                                                        "anchor",
                                                        "anchors",
                                                        "appCodeName",
                                                        "Applet",
                                                        "applets",
                                                        "appName",
                                                        "appVersion",
                                                        "Area",
                                                        "arguments",
                                                        "Array",
                                                        "array",
                                                        "asin",
                                                        "atan",
                                                        "atan2",
                                                        "back",
                                                        "bgColor",
                                                        "big",
                                                        "blink",
                                                        "blur",
                                                        "bold",
                                                        "Boolean",
                                                        "border",
                                                        "break",
                                                        "Button",
                                                        "caller",
                                                        "ceil",
                                                        "charAt",
                                                        "Checkbox",
                                                        "checked",
                                                        "clearTimeout",
                                                        "click",
                                                        "close",
                                                        "closed",
                                                        "comment",
                                                        "complete",
                                                        "confirm",
                                                        "constructor",
                                                        "continue",
                                                        "cookie",
                                                        "cos",
                                                        "current",
                                                        "Date",
                                                        "defaultChecked",
                                                        "defaultSelected",
                                                        "defaultStatus",
                                                        "defaultValue",
                                                        "description",
                                                        "document",
                                                        "domain",
                                                        "E",
                                                        "elements",
                                                        "else",
                                                        "embeds",
                                                        "enabledPlugin",
                                                        "encoding",
                                                        "escape",
                                                        "eval",
                                                        "exp",
                                                        "fgColor",
                                                        "filename",
                                                        "FileUpload",
                                                        "fixed",
                                                        "floor",
                                                        "focus",
                                                        "fontcolor",
                                                        "fontsize",
                                                        "for",
                                                        "Form",
                                                        "form",
                                                        "forms",
                                                        "forward",
                                                        "Frame",
                                                        "frames",
                                                        "Function",
                                                        "function",
                                                        "getDate",
                                                        "getDay",
                                                        "getHours",
                                                        "getMinutes",
                                                        "getMonth",
                                                        "getSeconds",
                                                        "getTime",
                                                        "getTimezoneOffset",
                                                        "getYear",
                                                        "go",
                                                        "hash",
                                                        "height",
                                                        "Hidden",
                                                        "history",
                                                        "host",
                                                        "hostname",
                                                        "href",
                                                        "hspace",
                                                        "if",
                                                        "Image",
                                                        "images",
                                                        "in",
                                                        "index",
                                                        "indexOf",
                                                        "isNaN",
                                                        "italics",
                                                        "javaEnabled",
                                                        "join",
                                                        "lastIndexOf",
                                                        "lastModified",
                                                        "length",
                                                        "Link",
                                                        "link",
                                                        "linkColor",
                                                        "links",
                                                        "LN10",
                                                        "LN2",
                                                        "location",
                                                        "log",
                                                        "LOG10E",
                                                        "LOG2E",
                                                        "loop",
                                                        "lowsrc",
                                                        "Math",
                                                        "max",
                                                        "MAX_VALUE",
                                                        "method",
                                                        "MimeType",
                                                        "mimeTypes",
                                                        "min",
                                                        "MIN_VALUE",
                                                        "name",
                                                        "NaN",
                                                        "navigator",
                                                        "NEGATIVE_INFINITY",
                                                        "new",
                                                        "next",
                                                        "Number",
                                                        "object",
                                                        "onAbort",
                                                        "onBlur",
                                                        "onChange",
                                                        "onClick",
                                                        "onError",
                                                        "onFocus",
                                                        "onLoad",
                                                        "onMouseOut",
                                                        "onMouseOver",
                                                        "onReset",
                                                        "onSelect",
                                                        "onSubmit",
                                                        "onUnload",
                                                        "open",
                                                        "opener",
                                                        "Option",
                                                        "options",
                                                        "parent",
                                                        "parse",
                                                        "parseFloat",
                                                        "parseInt",
                                                        "Password",
                                                        "pathname",
                                                        "PI",
                                                        "Plugin",
                                                        "plugins",
                                                        "port",
                                                        "POSITIVE_INFINITY",
                                                        "pow",
                                                        "previous",
                                                        "prompt",
                                                        "property",
                                                        "protocol",
                                                        "prototype",
                                                        "Radio",
                                                        "random",
                                                        "referrer",
                                                        "refresh",
                                                        "reload",
                                                        "replace",
                                                        "Reset",
                                                        "reset",
                                                        "return",
                                                        "reverse",
                                                        "round",
                                                        "scroll",
                                                        "search",
                                                        "Select",
                                                        "select",
                                                        "selected",
                                                        "selectedIndex",
                                                        "self",
                                                        "setDate",
                                                        "setHours",
                                                        "setMinutes",
                                                        "setMonth",
                                                        "setSeconds",
                                                        "setTime",
                                                        "setTimeout",
                                                        "setYear",
                                                        "sin",
                                                        "small",
                                                        "sort",
                                                        "split",
                                                        "sqrt",
                                                        "SQRT1_2",
                                                        "SQRT2",
                                                        "src",
                                                        "status",
                                                        "strike",
                                                        "String",
                                                        "sub",
                                                        "submit",
                                                        "substring",
                                                        "suffixes",
                                                        "sup",
                                                        "taint",
                                                        "taintEnabled",
                                                        "tan",
                                                        "target",
                                                        "Text",
                                                        "text",
                                                        "Textarea",
                                                        "this",
                                                        "title",
                                                        "toGMTString",
                                                        "toLocaleString",
                                                        "toLowerCase",
                                                        "top",
                                                        "toString",
                                                        "toUpperCase",
                                                        "type",
                                                        "unescape",
                                                        "untaint",
                                                        "URL",
                                                        "userAgent",
                                                        "UTC",
                                                        "value",
                                                        "valueOf",
                                                        "var",
                                                        "vlinkColor",
                                                        "vspace",
                                                        "while",
                                                        "width",
                                                        "window",
                                                        "with",
                                                        "write",
                                                        "writeln"};

}  // namespace

const ThltKeywordTable& ThltJScriptRTF::Keywords() {
  static const ThltKeywordTable table(kJScriptKeywords, CaseInsensitiveHashValues(), false);
  return table;
}

ThltJScriptRTF::ThltJScriptRTF()
    : ThltStandardScannerRTF({clGreen, clBlack, clNavy, clBlue, clBlack, clBlack, clBlack, clBlack}) {
  Keywords();
}

void ThltJScriptRTF::Next() {
  FTokenPos = FRun;
  if (FRange == rsBlockComment)
    ContinuedCommentProc(tkComment, "*/", rsNormal);
  else
    Scan();
  EnsureProgress();
}

void ThltJScriptRTF::Scan() {
  if (LineEndOrNullProc()) return;
  const char c = At(FRun);
  const char next = At(FRun + 1);
  switch (c) {
    case '/':
      if (next == '*') {
        FRange = rsBlockComment;
        FRun += 2;
        UntilCloserProc(tkComment, "*/", rsNormal);
      } else if (next == '/') {
        LineCommentProc(tkComment);
      } else {
        Take(tkSymbol, next == '=' ? 2 : 1);
      }
      break;
    case '"':
    case '\'':
      QuotedStringProc(c, tkString);
      break;
    case '$':
      HexNumberProc(tkNumber);
      break;
    case '#':
      CharCodeProc(tkString);
      break;
    case '&':
    case '+':
    case '|':
      Take(tkSymbol, (next == c || next == '=') ? 2 : 1);
      break;
    case '-':
      Take(tkSymbol, (next == '-' || next == '=' || next == '>') ? 2 : 1);
      break;
    case '%':
    case '*':
      Take(tkSymbol, next == '=' ? 2 : 1);
      break;
    case '.':
      Take(tkSymbol, (next == '.' && At(FRun + 2) == '.') ? 3 : 1);
      break;
    default:
      if (IsIdentStart(c)) {
        FTokenID = IdentProc(Keywords()) >= 0 ? tkKey : tkIdentifier;
      } else if (IsDigit(c)) {
        DecimalNumberProc(tkNumber);
      } else if (kSymbols.Has(c)) {
        Take(tkSymbol);
      } else {
        SpaceOrUnknownProc();
      }
  }
}
