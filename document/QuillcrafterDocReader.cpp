// The project file reader.
//
// A load runs in two phases so that a file that fails part-way leaves the
// document exactly as it was: the whole file is first read into a staging
// image (options copied from the document, detached topics and macros,
// contents lines as values), where every error arises; only a complete
// image is then put into the document, through the same setters and
// collection operations an in-place reader would use, so the document
// sends the usual notices (an add per item, one change per section).
#include <sys/stat.h>

#include <algorithm>

#include "document/QuillcrafterDoc.h"
#include "document/TopicFields.h"
#include "toolkit/ScopeGuard.h"

namespace {

/// The most items a count read from the file reserves room for at once.
constexpr int32_t kReserveLimit = 1 << 16;

/// Bounds that no project file reaches and endless or damaged data soon
/// does: the longest text line (topic bodies of hundreds of megabytes do not
/// occur), the longest line that holds a number (a number and the blanks
/// before it), and the most lines a count may promise where the size of the
/// data is not known (a pipe); where it is known, a count may promise no
/// more lines than the bytes left could hold.
constexpr size_t kMaxLineLength = size_t{1} << 28;
constexpr size_t kMaxNumberLineLength = 4096;
constexpr int64_t kMaxUnsizedCount = int64_t{1} << 22;
/// How far data after the end of the project is counted where its size is
/// not known.
constexpr int64_t kTrailingCountLimit = int64_t{1} << 24;

/// The size of what Stream holds, where it is known: a regular file or memory.
int64_t KnownSize(TStream& stream) {
  if (auto* file = dynamic_cast<TFileStream*>(&stream)) {
    struct stat info {};
    if (::fstat(file->Handle(), &info) == 0 && S_ISREG(info.st_mode)) return info.st_size;
    return -1;
  }
  if (dynamic_cast<TMemoryStream*>(&stream) != nullptr) return stream.Size();
  return -1;
}

}  // namespace

/// Line-level reading with the file's value forms. A line that is missing
/// because the data ended is an error that names what was being read.
class TQCProjectReader {
 public:
  /// What is being read, formatted only when an error needs it.
  struct Where {
    const char* what;
    long long a = 0;
    long long b = 0;
  };

  struct ContentsLine {
    int32_t level = 0;
    std::string title;
    std::string link;
  };

  /// Everything a project file holds, read but not yet in the document.
  struct Image {
    explicit Image(const TQCProjectOptions& current) { options.Assign(current); }
    TQCProjectOptions options;
    std::vector<std::unique_ptr<TQCTopic>> topics;
    TStringList windowDefinitions;
    TStringList contentsLinks;
    TStringList contentsIndices;
    std::vector<ContentsLine> contents;
    std::vector<std::unique_ptr<TQCTextMacro>> macros;
    std::vector<std::string> warnings;
  };

  /// Size: the size of the data under Stream where it is known, else -1.
  explicit TQCProjectReader(TGTextStream& stream, int64_t size = -1) : FStream(stream), FSize(size) {}

  void ReadImage(Image& image);
  /// The header at the start of the data. Empty data is no project file at
  /// all and is reported as such, not as a file that ends early.
  void ReadFileHeader(TQCProjectOptions& options) { ReadHeader(options); }
  void ReadHeader(TQCProjectOptions& options);
  /// The first line, which must be the file identifier.
  void ReadIdentifier();
  void ReadTopicRecord(TQCTopic& topic, long long record);
  ContentsLine ReadContentsLine(long long record);
  void ReadTextMacroRecord(TQCTextMacro& macro, long long record);
  void ReadStrings(TStrings& list, Where where);
  /// After a whole project: a warning when data follows it.
  void CheckTrailingData(Image& image);

  static void Apply(TQuillcrafterDoc& document, Image& image);
  /// Gives Topic, which is in Document's topics, the values read into Parsed.
  static void ApplyTopic(TQCTopic& topic, TQCTopic& parsed);

 private:
  static std::string Describe(const Where& where) { return Format(where.what, where.a, where.b); }
  [[noreturn]] static void Missing(const Where& where) {
    throw EQCException(Format(qcmsg::SUnexpectedEnd, Describe(where).c_str()));
  }
  void Line(std::string& line, const Where& where, size_t limit = kMaxLineLength) {
    if (!FStream.ReadLine(line, limit)) Missing(where);
    ++FLine;
    if (line.size() > limit)
      throw EQCException(Format(qcmsg::SLineTooLong, IntToStr(FLine).c_str(),
                                IntToStr(static_cast<int64_t>(limit)).c_str(), Describe(where).c_str()));
  }
  std::string Line(const Where& where) {
    std::string line;
    Line(line, where);
    return line;
  }
  int32_t Integer(const Where& where) {
    std::string line;
    Line(line, where, kMaxNumberLineLength);
    return StrToInt(line);
  }
  /// A count of what follows, of lines or of records of at least LinesEach
  /// lines: one that the rest of the data could not hold is refused at once.
  int32_t Count(const Where& where, int64_t linesEach = 1) {
    const int32_t count = Integer(where);
    // Every line but a last one without a line end takes at least one byte.
    const int64_t most = FSize >= 0 ? (FSize - FStream.Position()) / linesEach + 1 : kMaxUnsizedCount;
    // Small counts are simply read: a short file then ends where it ends.
    if (count > kReserveLimit && count > most)
      throw EQCException(Format(qcmsg::SCountTooLarge, IntToStr(FLine).c_str(), IntToStr(count).c_str(),
                                Describe(where).c_str()));
    return count;
  }
  bool Boolean(const Where& where) { return Line(where) == "TRUE"; }

  /// The rows of one topic record; a missing row names the record.
  class TopicRows : public TTopicRowSource {
   public:
    TopicRows(TQCProjectReader& reader, long long record) : FReader(reader), FRecord(record) {}
    void Line(std::string& line) override { FReader.Line(line, {"topic record %lld", FRecord}); }
    int32_t Integer() override { return FReader.Integer({"topic record %lld", FRecord}); }
    void Text(TStrings& lines, int32_t topicID) override {
      FReader.ReadStrings(lines, {"the text of topic record %lld (ID %lld)", FRecord, topicID});
    }

   private:
    TQCProjectReader& FReader;
    const long long FRecord;
  };

  TGTextStream& FStream;
  const int64_t FSize;
  /// Lines read so far: the number of the line an error is about.
  long long FLine = 0;
};

void TQCProjectReader::ReadStrings(TStrings& list, Where where) {
  toolkit::TUpdateBracket update(list);
  list.Clear();
  // The count is only a promise: lines are taken one by one, so a huge
  // count in a short file fails at the first missing line.
  const int32_t count = Count(where);
  // Room for the promised lines, within reason: a false count costs no more
  // than a few pages.
  list.ReserveStorage(std::min(count, kReserveLimit));
  std::string line;
  for (int32_t i = 0; i < count; ++i) {
    Line(line, where);
    list.Add(line);
  }
}

void TQCProjectReader::ReadIdentifier() {
  // Byte by byte and never further than the identifier could reach: any
  // input that is not a project file (a device without line ends, a huge
  // file of other data) is refused as soon as it is known to be one.
  const std::string_view identifier = QCFileIdentifier;
  std::string line;
  char c;
  for (;;) {
    if (FStream.Read(&c, 1) != 1) {
      // An empty input is no project file either; asking the stream's size
      // instead would refuse every pipe.
      if (line.empty()) throw EQCException(qcmsg::SMissingIdentifier);
      break;
    }
    if (c == '\r' || c == '\n') {
      // CR LF is one line end, as for every other line.
      char next;
      if (c == '\r' && FStream.Read(&next, 1) == 1 && next != '\n') FStream.PutBack(next);
      break;
    }
    line += c;
    if (line == "\xEF\xBB\xBF") throw EQCException(qcmsg::SByteOrderMark);
    if (line.size() > identifier.size() || (line.back() != identifier[line.size() - 1] &&
                                            std::string_view("\xEF\xBB\xBF").substr(0, line.size()) != line))
      throw EQCException(qcmsg::SMissingIdentifier);
  }
  if (line != identifier) throw EQCException(qcmsg::SMissingIdentifier);
  FLine = 1;
}

void TQCProjectReader::ReadHeader(TQCProjectOptions& options) {
  ReadIdentifier();
  const int32_t version = Integer({"the file version"});
  if (std::find(AcceptedVersions.begin(), AcceptedVersions.end(), version) == AcceptedVersions.end())
    throw EQCException(qcmsg::SUnknownVersion);
  options.SetFileVersion(version);
  const Where opts{"the project options"};
  options.SetUnknown1(Line(opts));
  options.SetHelpFileKind(Integer(opts));
  options.SetHelpFileType(static_cast<THelpFileType>(Integer(opts)));
  options.SetTitle(Line(opts));
  options.SetBuildTag(Line(opts));
  options.SetCitation(Line(opts));
  options.SetCopyright(Line(opts));
  options.SetCompress(Boolean(opts));
  options.SetLocaleID(Line(opts));
  options.SetBitmapPaths(Line(opts));
  ReadStrings(options.Configuration(), {"the project configuration"});
  ReadStrings(options.Baggage(), {"the project baggage"});
  options.SetGenerateCFile(Boolean(opts));
  options.SetOutput(Line(opts));
  options.SetIncludeImages(!Boolean(opts));
  if (version > 10) {
    const Where html{"the HTML options"};
    options.SetHTMLPngImages(Boolean(html));
    for (int i = 0; i < 5; ++i) options.SetHTMLColor(i, Integer(html));
  }
  if (version > 11) {
    const Where search{"the search options"};
    options.SetIncludeSearchInfo(Boolean(search));
    options.SetEnableAdvancedSearch(Boolean(search));
    options.SetFavoritesTabVisible(Boolean(search));
  }
  if (version > 13) options.SetAutoCollapseTOC(Boolean({"the contents options"}));
  if (version > 12) {
    const Where web{"the web export options"};
    TQCWebExportOptions& w = options.WebExportOptions();
    w.OutputFormat = static_cast<TWebExportOutputFormat>(Integer(web));
    w.UseStyleAttributesIndent = Boolean(web);
    w.LargeFontSizes = Boolean(web);
    w.Contents = Line(web);
    w.ContentsTitle = Line(web);
    w.Index = Line(web);
    w.IndexTitle = Line(web);
    w.Previous = Line(web);
    w.Next = Line(web);
    w.UseBuildTagsFromProject = Boolean(web);
    w.WebFilename = Line(web);
  }
}

void TQCProjectReader::ReadTopicRecord(TQCTopic& topic, long long record) {
  TopicRows rows(*this, record);
  ReadTopicRows(rows, topic);
}

TQCProjectReader::ContentsLine TQCProjectReader::ReadContentsLine(long long record) {
  ContentsLine result;
  // The level is a token: empty lines and blanks before it are skipped, and
  // the rest of its line is the title and link.
  const Where where{"contents item %lld", record};
  std::string line;
  size_t start = 0;
  for (;;) {
    Line(line, where);
    while (start < line.size() && static_cast<unsigned char>(line[start]) < 33) ++start;
    if (start < line.size()) break;
    start = 0;
  }
  // Within a line, the token ends at a blank or a TAB.
  size_t end = line.find_first_of(" \t", start);
  if (end == std::string::npos) end = line.size();
  result.level = StrToInt(std::string_view(line).substr(start, end - start));
  const std::string_view rest = std::string_view(line).substr(end);
  if (const size_t equals = rest.find('='); equals != std::string::npos) {
    result.title = Trim(rest.substr(0, equals));
    result.link = std::string(rest.substr(equals + 1));
  } else {
    result.title = Trim(rest);
  }
  return result;
}

void TQCProjectReader::ReadTextMacroRecord(TQCTextMacro& macro, long long record) {
  const Where where{"text macro record %lld", record};
  macro.SetName(Line(where));
  macro.SetColor(Integer(where));
  macro.SetTypeFace(Line(where));
  macro.SetUnknown1(Integer(where));
  macro.SetSize(Integer(where));
  macro.SetUnknown2(Integer(where));
  const std::string styleLine = Line(where);
  static constexpr TFontStyle kStyles[] = {TFontStyle::fsBold, TFontStyle::fsItalic, TFontStyle::fsUnderline,
                                           TFontStyle::fsStrikeOut};
  TFontStyles style;
  for (size_t k = 0; k < 4; ++k)
    if (styleLine.size() > k && styleLine[k] != '.') style.Include(kStyles[k]);
  macro.SetStyle(style);
  macro.SetAlignment(static_cast<TAlignment>(Integer(where)));
  macro.SetBullet(Line(where) == "1");
  macro.SetLeftMargin(Integer(where));
  macro.SetRightMargin(Integer(where));
  macro.SetIndent(Integer(where));
  ReadStrings(macro.Tabs(), {"the tabs of text macro record %lld", record});
}

void TQCProjectReader::ReadImage(Image& image) {
  ReadFileHeader(image.options);

  // A topic record takes 14 lines at the least.
  const int32_t topicCount = Count({"the topic count"}, 14);
  image.topics.reserve(static_cast<size_t>(std::clamp(topicCount, 0, kReserveLimit)));
  for (int32_t i = 0; i < topicCount; ++i) {
    std::unique_ptr<TQCTopic> topic(new TQCTopic(TQCTopic::TToBeRead{}));
    ReadTopicRecord(*topic, i + 1);
    image.topics.push_back(std::move(topic));
  }

  ReadStrings(image.windowDefinitions, {"the window definitions"});

  ReadStrings(image.contentsLinks, {"the contents links"});
  ReadStrings(image.contentsIndices, {"the contents indices"});
  const int32_t contentsCount = Count({"the contents item count"});
  for (int32_t i = 0; i < contentsCount; ++i) image.contents.push_back(ReadContentsLine(i + 1));

  const int32_t macroCount = Count({"the text macro count"}, 14);
  for (int32_t i = 0; i < macroCount; ++i) {
    auto macro = std::make_unique<TQCTextMacro>();
    ReadTextMacroRecord(*macro, i + 1);
    image.macros.push_back(std::move(macro));
  }
}

void TQCProjectReader::CheckTrailingData(Image& image) {
  int64_t trailing = 0;
  bool more = false;
  if (FSize >= 0) {
    trailing = FSize - FStream.Position();
  } else {
    // Counted as far as it goes within reason: endless data is only "more than".
    char buffer[65536];
    for (;;) {
      const int64_t n = FStream.Read(buffer, sizeof buffer);
      if (n <= 0) break;
      trailing += n;
      if (trailing > kTrailingCountLimit) {
        more = true;
        break;
      }
    }
  }
  if (trailing <= 0) return;
  const std::string count = more ? "More than " + IntToStr(kTrailingCountLimit) : IntToStr(trailing);
  image.warnings.push_back(Format(qcmsg::STrailingData, count.c_str()));
}

void TQCProjectReader::ApplyTopic(TQCTopic& topic, TQCTopic& parsed) {
  TQCTopics* topics = topic.Topics();
  topic.StoreTopicID(parsed.FTopicID);
  if (topics) {
    // Re-sort by insertion: down past every topic with a greater ID, so
    // equal IDs stay in file order. Topics are usually added at the end.
    const int count = topics->Count();
    int index = count > 0 && topics->Items(count - 1) == &topic ? count - 1 : topic.Index();
    // From the end of an ascending collection the walk keeps it ascending.
    const bool ascending = topics->FOrder == TQCTopics::TOrder::Ascending && index == count - 1;
    int target = index;
    while (target > 0 && topics->Items(target - 1)->TopicID() > topic.TopicID()) --target;
    if (target != index) topic.TGCollectionItem::SetIndex(target);
    if (ascending)
      topics->Touch();
    else
      topics->OrderUnknown();
  }
  SetTopicFields(topic, parsed);
}

void TQCProjectReader::Apply(TQuillcrafterDoc& document, Image& image) {
  document.FOptions->Assign(image.options);

  // Topics: the reader's insertion sort leaves them in ascending ID order,
  // equal IDs in file order; a stable sort gives the same order at once.
  TQCTopics& topics = *document.FTopics;
  std::stable_sort(image.topics.begin(), image.topics.end(),
                   [](const auto& a, const auto& b) { return a->TopicID() < b->TopicID(); });
  {
    toolkit::TUpdateBracket update(topics);
    topics.Clear();
    topics.OrderAscending();
    for (auto& topic : image.topics) {
      topic->SetCollection(&topics);
      topic.release();  // the collection owns it now
    }
  }

  document.FWindowDefinitions->Assign(image.windowDefinitions);

  document.FContentsLinks->Assign(image.contentsLinks);
  document.FContentsIndices->Assign(image.contentsIndices);
  TQCContentsItems& contents = *document.FContents;
  {
    toolkit::TUpdateBracket update(contents);
    contents.Clear();
    for (const ContentsLine& line : image.contents) {
      TQCContentsItem* item = contents.Add();
      item->SetLevel(line.level);
      item->SetTitle(line.title);
      item->SetLink(line.link);
    }
  }

  document.FLoadWarnings = std::move(image.warnings);

  TQCTextMacros& macros = *document.FTextMacros;
  toolkit::TUpdateBracket update(macros);
  macros.Clear();
  for (auto& macro : image.macros) {
    macro->SetCollection(&macros);
    macro.release();
  }
  document.AddDefaultTextMacros();
}

// --- The document's reading operations ---------------------------------------------

void TQuillcrafterDoc::LoadFromStream(TStream& stream) {
  TQCProjectReader::Image image(*FOptions);
  {
    TGTextStream text(stream);
    TQCProjectReader reader(text, KnownSize(stream));
    reader.ReadImage(image);
    reader.CheckTrailingData(image);
  }
  TQCProjectReader::Apply(*this, image);
  FModified = false;
}

void TQuillcrafterDoc::ReadHeader(TGTextStream& stream, TQCProjectOptions& options) {
  TQCProjectReader(stream).ReadFileHeader(options);
}

void TQuillcrafterDoc::ReadStrings(TGTextStream& stream, TStrings& list) {
  TQCProjectReader(stream).ReadStrings(list, {"a string list"});
}

void TQuillcrafterDoc::ReadTopic(TGTextStream& stream, TQCTopic& topic, int32_t /*desiredID*/) {
  TQCTopic parsed;
  TQCProjectReader(stream).ReadTopicRecord(parsed, 1);
  TQCProjectReader::ApplyTopic(topic, parsed);
}

void TQuillcrafterDoc::ReadTopicFields(TGTextStream& stream, TQCTopic& detached) {
  TQCProjectReader(stream).ReadTopicRecord(detached, 1);
}

void TQuillcrafterDoc::ReadContentsItem(TGTextStream& stream, TQCContentsItem& item) {
  const TQCProjectReader::ContentsLine line = TQCProjectReader(stream).ReadContentsLine(1);
  item.SetLevel(line.level);
  item.SetTitle(line.title);
  item.SetLink(line.link);
}

void TQuillcrafterDoc::ReadTextMacro(TGTextStream& stream, TQCTextMacro& macro) {
  TQCProjectReader(stream).ReadTextMacroRecord(macro, 1);
}
