#include "richtext/RtfKeywords.h"

#include <unordered_map>

namespace {

using K = TRtfKeywordKind;
using Id = TRtfKeywordId;

// clang-format off
constexpr TRtfKeyword kKeywords[] = {
    // Paragraphs, breaks and tables.
    {"par", K::Flag, Id::Par, 0},          {"pard", K::Flag, Id::Pard, 0},
    {"plain", K::Flag, Id::Plain, 0},      {"line", K::Flag, Id::Line, 0},
    {"tab", K::Flag, Id::Tab, 0},          {"page", K::Flag, Id::Page, 0},
    {"sect", K::Flag, Id::Sect, 0},        {"cell", K::Flag, Id::Cell, 0},
    {"nestcell", K::Flag, Id::NestCell, 0}, {"row", K::Flag, Id::Row, 0},
    {"nestrow", K::Flag, Id::NestRow, 0},  {"intbl", K::Flag, Id::Intbl, 0},
    {"trowd", K::Flag, Id::Trowd, 0},
    {"ql", K::Flag, Id::Ql, 0},            {"qc", K::Flag, Id::Qc, 0},
    {"qr", K::Flag, Id::Qr, 0},            {"qj", K::Flag, Id::Qj, 0},
    {"qd", K::Flag, Id::Qj, 0},
    {"tqr", K::Flag, Id::Tqr, 0},          {"tqc", K::Flag, Id::Tqc, 0},
    {"tqdec", K::Flag, Id::Tqdec, 0},
    {"li", K::Value, Id::Li, 0},           {"ri", K::Value, Id::Ri, 0},
    {"lin", K::Value, Id::Li, 0},          {"rin", K::Value, Id::Ri, 0},
    {"fi", K::Value, Id::Fi, 0},           {"tx", K::Value, Id::Tx, 0},
    {"tb", K::Value, Id::Tb, 0},           {"sb", K::Value, Id::Sb, 0},
    {"sa", K::Value, Id::Sa, 0},
    // Character formatting.
    {"b", K::Toggle, Id::B, 1},            {"i", K::Toggle, Id::I, 1},
    {"ul", K::Toggle, Id::Ul, 1},          {"uld", K::Toggle, Id::Ul, 1},
    {"uldash", K::Toggle, Id::Ul, 1},      {"uldashd", K::Toggle, Id::Ul, 1},
    {"uldashdd", K::Toggle, Id::Ul, 1},    {"uldb", K::Toggle, Id::Ul, 1},
    {"ulhwave", K::Toggle, Id::Ul, 1},     {"ulldash", K::Toggle, Id::Ul, 1},
    {"ulth", K::Toggle, Id::Ul, 1},        {"ulthd", K::Toggle, Id::Ul, 1},
    {"ulthdash", K::Toggle, Id::Ul, 1},    {"ulw", K::Toggle, Id::Ul, 1},
    {"ulwave", K::Toggle, Id::Ul, 1},      {"ulnone", K::Flag, Id::UlNone, 0},
    {"strike", K::Toggle, Id::Strike, 1},  {"striked", K::Toggle, Id::Strike, 1},
    {"v", K::Toggle, Id::V, 1},            {"caps", K::Toggle, Id::Caps, 1},
    {"scaps", K::Toggle, Id::Scaps, 1},    {"super", K::Toggle, Id::Super, 1},
    {"sub", K::Toggle, Id::Sub, 1},        {"nosupersub", K::Flag, Id::NoSuperSub, 0},
    {"up", K::Value, Id::Up, 6},           {"dn", K::Value, Id::Dn, 6},
    {"f", K::Value, Id::F, 0},             {"fs", K::Value, Id::Fs, 24},
    {"cf", K::Value, Id::Cf, 0},           {"cb", K::Value, Id::Cb, 0},
    {"highlight", K::Value, Id::Highlight, 0}, {"chcbpat", K::Value, Id::Cb, 0},
    // Unicode and binary data.
    {"u", K::Value, Id::U, 0},             {"uc", K::Value, Id::Uc, 1},
    {"bin", K::Value, Id::Bin, 0},
    // Document and tables.
    {"mac", K::Flag, Id::DocCodePage, 10000},
    {"pc", K::Flag, Id::DocCodePage, 437}, {"pca", K::Flag, Id::DocCodePage, 850},
    {"ansicpg", K::Value, Id::AnsiCpg, 1252}, {"deff", K::Value, Id::Deff, 0},
    {"fcharset", K::Value, Id::Fcharset, 0},  {"cpg", K::Value, Id::Cpg, 0},
    {"red", K::Value, Id::Red, 0},         {"green", K::Value, Id::Green, 0},
    {"blue", K::Value, Id::Blue, 0},
    {"fnil", K::Flag, Id::FontFamily, 0},  {"froman", K::Flag, Id::FontFamily, 0},
    {"fswiss", K::Flag, Id::FontFamily, 0}, {"fmodern", K::Flag, Id::FontFamily, 0},
    {"fscript", K::Flag, Id::FontFamily, 0}, {"fdecor", K::Flag, Id::FontFamily, 0},
    {"ftech", K::Flag, Id::FontFamily, 0}, {"fbidi", K::Flag, Id::FontFamily, 0},
    // Old-style paragraph numbering.
    {"pnlvlblt", K::Flag, Id::PnLvlBlt, 0}, {"pnlvlbody", K::Flag, Id::PnLvlBody, 0},
    {"pnlvlcont", K::Flag, Id::PnLvlCont, 0}, {"pndec", K::Flag, Id::PnDec, 0},
    // Destinations we read.
    {"fonttbl", K::Destination, Id::FontTable, 0}, {"colortbl", K::Destination, Id::ColorTable, 0},
    {"fldrslt", K::Destination, Id::Normal, 0}, {"field", K::Destination, Id::Normal, 0},
    {"result", K::Destination, Id::Result, 0}, {"shppict", K::Destination, Id::Normal, 0},
    {"fldinst", K::Destination, Id::FieldInst, 0}, {"pn", K::Destination, Id::Pn, 0},
    {"pntext", K::Destination, Id::PnText, 0}, {"listtext", K::Destination, Id::ListText, 0},
    {"upr", K::Destination, Id::Upr, 0},   {"ud", K::Destination, Id::Ud, 0},
    // A nested table's row properties end its row (\nestrow); the text for
    // readers without nested tables repeats what they hold.
    {"nesttableprops", K::Destination, Id::Normal, 0}, {"nonesttables", K::Destination, Id::Skip, 0},
    // Pictures.
    {"pngblip", K::Flag, Id::PngBlip, 0},  {"jpegblip", K::Flag, Id::JpegBlip, 0},
    {"emfblip", K::Flag, Id::OtherBlip, 0}, {"wmetafile", K::Flag, Id::OtherBlip, 0},
    {"dibitmap", K::Flag, Id::OtherBlip, 0}, {"wbitmap", K::Flag, Id::OtherBlip, 0},
    {"macpict", K::Flag, Id::OtherBlip, 0}, {"pmmetafile", K::Flag, Id::OtherBlip, 0},
    {"picwgoal", K::Value, Id::PicWGoal, 0}, {"pichgoal", K::Value, Id::PicHGoal, 0},
    {"picscalex", K::Value, Id::PicScaleX, 100}, {"picscaley", K::Value, Id::PicScaleY, 100},
    {"picw", K::Value, Id::PicW, 0},       {"pich", K::Value, Id::PicH, 0},
    // Destinations whose text is not shown.
    {"stylesheet", K::Destination, Id::Skip, 0}, {"info", K::Destination, Id::Skip, 0},
    {"pict", K::Destination, Id::Pict, 0}, {"object", K::Destination, Id::Upr, 0},
    {"objdata", K::Destination, Id::Skip, 0}, {"nonshppict", K::Destination, Id::Skip, 0},
    {"footnote", K::Destination, Id::Skip, 0}, {"header", K::Destination, Id::Skip, 0},
    {"headerl", K::Destination, Id::Skip, 0}, {"headerr", K::Destination, Id::Skip, 0},
    {"headerf", K::Destination, Id::Skip, 0}, {"footer", K::Destination, Id::Skip, 0},
    {"footerl", K::Destination, Id::Skip, 0}, {"footerr", K::Destination, Id::Skip, 0},
    {"footerf", K::Destination, Id::Skip, 0}, {"pntxta", K::Destination, Id::Skip, 0},
    {"pntxtb", K::Destination, Id::Skip, 0}, {"xe", K::Destination, Id::Skip, 0},
    {"tc", K::Destination, Id::Skip, 0},   {"txe", K::Destination, Id::Skip, 0},
    {"rxe", K::Destination, Id::Skip, 0},  {"bkmkstart", K::Destination, Id::Skip, 0},
    {"bkmkend", K::Destination, Id::Skip, 0}, {"listtable", K::Destination, Id::Skip, 0},
    {"listoverridetable", K::Destination, Id::Skip, 0}, {"revtbl", K::Destination, Id::Skip, 0},
    {"rsidtbl", K::Destination, Id::Skip, 0}, {"filetbl", K::Destination, Id::Skip, 0},
    {"author", K::Destination, Id::Skip, 0}, {"operator", K::Destination, Id::Skip, 0},
    {"title", K::Destination, Id::Skip, 0}, {"subject", K::Destination, Id::Skip, 0},
    {"comment", K::Destination, Id::Skip, 0}, {"doccomm", K::Destination, Id::Skip, 0},
    {"keywords", K::Destination, Id::Skip, 0}, {"buptim", K::Destination, Id::Skip, 0},
    {"creatim", K::Destination, Id::Skip, 0}, {"printim", K::Destination, Id::Skip, 0},
    {"revtim", K::Destination, Id::Skip, 0}, {"template", K::Destination, Id::Skip, 0},
    {"ftnsep", K::Destination, Id::Skip, 0}, {"ftnsepc", K::Destination, Id::Skip, 0},
    {"ftncn", K::Destination, Id::Skip, 0}, {"aftnsep", K::Destination, Id::Skip, 0},
    {"aftnsepc", K::Destination, Id::Skip, 0}, {"aftncn", K::Destination, Id::Skip, 0},
    {"private", K::Destination, Id::Skip, 0}, {"themedata", K::Destination, Id::Skip, 0},
    {"colorschememapping", K::Destination, Id::Skip, 0}, {"datastore", K::Destination, Id::Skip, 0},
    {"latentstyles", K::Destination, Id::Skip, 0}, {"xmlnstbl", K::Destination, Id::Skip, 0},
    {"pgdsctbl", K::Destination, Id::Skip, 0}, {"generator", K::Destination, Id::Skip, 0},
    {"shpinst", K::Destination, Id::Skip, 0}, {"sp", K::Destination, Id::Skip, 0},
    {"do", K::Destination, Id::Skip, 0},   {"atnid", K::Destination, Id::Skip, 0},
    {"atnauthor", K::Destination, Id::Skip, 0}, {"annotation", K::Destination, Id::Skip, 0},
    {"atrfstart", K::Destination, Id::Skip, 0}, {"atrfend", K::Destination, Id::Skip, 0},
    {"falt", K::Destination, Id::Skip, 0}, {"panose", K::Destination, Id::Skip, 0},
    {"fname", K::Destination, Id::Skip, 0}, {"fontemb", K::Destination, Id::Skip, 0},
    {"fontfile", K::Destination, Id::Skip, 0}, {"mmathPr", K::Destination, Id::Skip, 0},
    // Characters.
    {"emdash", K::Character, Id::Char, 0x2014}, {"endash", K::Character, Id::Char, 0x2013},
    {"bullet", K::Character, Id::Char, 0x2022}, {"lquote", K::Character, Id::Char, 0x2018},
    {"rquote", K::Character, Id::Char, 0x2019}, {"ldblquote", K::Character, Id::Char, 0x201C},
    {"rdblquote", K::Character, Id::Char, 0x201D}, {"emspace", K::Character, Id::Char, 0x2003},
    {"enspace", K::Character, Id::Char, 0x2002}, {"qmspace", K::Character, Id::Char, 0x2005},
    {"zwj", K::Character, Id::Char, 0x200D},  {"zwnj", K::Character, Id::Char, 0x200C},
    {"zwbo", K::Character, Id::Char, 0x200B}, {"ltrmark", K::Character, Id::Char, 0x200E},
    {"rtlmark", K::Character, Id::Char, 0x200F},
};
// clang-format on

const std::unordered_map<std::string_view, const TRtfKeyword*>& KeywordIndex() {
  static const std::unordered_map<std::string_view, const TRtfKeyword*> index = [] {
    std::unordered_map<std::string_view, const TRtfKeyword*> map;
    for (const TRtfKeyword& k : kKeywords) map.emplace(k.Word, &k);
    return map;
  }();
  return index;
}

}  // namespace

const TRtfKeyword* FindRtfKeyword(std::string_view word) {
  const auto& index = KeywordIndex();
  auto it = index.find(word);
  return it == index.end() ? nullptr : it->second;
}

bool IsRtfContentWord(const TRtfKeyword& kw) {
  if (kw.Kind == TRtfKeywordKind::Character) return true;
  switch (kw.Id) {
    case TRtfKeywordId::Par:
    case TRtfKeywordId::Line:
    case TRtfKeywordId::Tab:
    case TRtfKeywordId::Page:
    case TRtfKeywordId::Sect:
    case TRtfKeywordId::Cell:
    case TRtfKeywordId::NestCell:
    case TRtfKeywordId::Row:
    case TRtfKeywordId::NestRow:
    case TRtfKeywordId::Trowd:
    case TRtfKeywordId::U:
    case TRtfKeywordId::Bin:
    case TRtfKeywordId::Pict:
      return true;
    default:
      return false;
  }
}
