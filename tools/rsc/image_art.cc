// Reading the pixel art of the program's images.
#include <algorithm>
#include <cctype>
#include <map>

#include "tools/rsc/images.h"
#include "tools/rsc/names.h"
#include "tools/rsc/parse_values.h"

namespace rsc {

namespace {

constexpr int kMaxSide = 256;

class ArtReader {
 public:
  explicit ArtReader(std::vector<Diagnostic>* d) : diagnostics_(d) {}
  void Read(const std::vector<Line>& roots, std::vector<Picture>* out);

 private:
  void Error(const Line& l, const std::string& m) { diagnostics_->push_back({l.number, m}); }
  void Palette(const Line& line);
  bool Header(const Line& line, Picture* p);
  void Rows(const Line& line, Picture* p);

  std::vector<Diagnostic>* diagnostics_;
  std::map<char, int32_t> palette_;
};

void ArtReader::Palette(const Line& line) {
  for (const Line& entry : line.children) {
    const std::vector<Token>& t = entry.tokens;
    std::optional<int32_t> colour;
    if (t.size() == 2 && !t[1].is_text)
      colour = t[1].value == "none" ? std::optional<int32_t>(-1) : ParseColour(t[1].value);
    if (t.size() != 2 || t[0].is_text || t[0].value.size() != 1 || !colour) {
      Error(entry, "a palette entry is one character and a colour (rgb(r,g,b) or none)");
      continue;
    }
    if (!palette_.emplace(t[0].value[0], *colour).second)
      Error(entry, "the character '" + t[0].value + "' is in the palette twice");
  }
}

bool ArtReader::Header(const Line& line, Picture* p) {
  const std::vector<Token>& t = line.tokens;
  p->line = line.number;
  if (t.size() == 2 && t[1].is_text && t[1].value.rfind('.') != std::string::npos) {
    p->name = t[1].value;
    std::string ext = p->name.substr(p->name.rfind('.'));
    for (char& c : ext) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    if (ext != ".ICO" && ext != ".BMP" && ext != ".GIF") {
      Error(line, "the image's name must end in .ico, .bmp or .gif");
      return false;
    }
    // The resource script takes the name as a bare word (a quoted one would
    // run into the file name of the line before).
    bool bare = isalpha(static_cast<unsigned char>(p->name[0])) &&
                p->name.find_first_of(" \"\',;") == std::string::npos;
    if (!bare)
      Error(line, "the image's name must start with a letter and hold no blank, quote or comma");
    return bare;
  }
  int64_t n;
  std::string error;
  if (t.size() == 3 && t[1].value == "resource" && ReadIntToken(t[2], 1, 0xFFFE, &n, &error)) {
    p->number = static_cast<int32_t>(n);
    return true;
  }
  Error(line, "expected 'image \"FILE.EXT\"' or 'image resource N'");
  return false;
}

void ArtReader::Rows(const Line& line, Picture* p) {
  for (const Line& row : line.children) {
    if (row.tokens.size() != 1 || row.tokens[0].is_text || !row.children.empty()) {
      Error(row, "a row of pixels is one word of palette characters");
      return;
    }
    const std::string& pixels = row.tokens[0].value;
    if (p->height == 0) p->width = static_cast<int>(pixels.size());
    if (static_cast<int>(pixels.size()) != p->width) {
      Error(row, "this row has " + std::to_string(pixels.size()) + " pixels, the first " +
                     std::to_string(p->width));
      return;
    }
    for (char c : pixels) {
      auto it = palette_.find(c);
      if (it == palette_.end()) {
        Error(row, std::string("'") + c + "' is not in the palette");
        return;
      }
      p->pixels.push_back(it->second);
    }
    ++p->height;
  }
  if (p->height == 0 || p->width > kMaxSide || p->height > kMaxSide)
    Error(line, "an image has 1 to 256 rows of 1 to 256 pixels");
}

void ArtReader::Read(const std::vector<Line>& roots, std::vector<Picture>* out) {
  for (const Line& line : roots) {
    const std::string& k = line.tokens[0].value;
    if (k == "palette" && line.tokens.size() == 1) {
      Palette(line);
    } else if (k == "image") {
      Picture p;
      if (!Header(line, &p)) continue;
      size_t before = diagnostics_->size();
      Rows(line, &p);
      if (diagnostics_->size() == before) out->push_back(std::move(p));
    } else {
      Error(line, "expected 'palette' or 'image'");
    }
  }
}

}  // namespace

bool ReadArt(const std::string& text, std::vector<Picture>* out,
             std::vector<Diagnostic>* diagnostics) {
  size_t before = diagnostics->size();
  std::vector<Line> roots;
  ReadTextTree(text, &roots, diagnostics);
  ArtReader(diagnostics).Read(roots, out);
  std::stable_sort(diagnostics->begin() + static_cast<long>(before), diagnostics->end(),
                   [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
  return diagnostics->size() == before;
}

PictureKind KindOf(const Picture& p) {
  if (p.name.empty()) return PictureKind::kIcon;
  char last = static_cast<char>(toupper(static_cast<unsigned char>(p.name.back())));
  return last == 'O' ? PictureKind::kIcon : last == 'P' ? PictureKind::kBitmap : PictureKind::kGif;
}

std::string ResourceNameOf(const Picture& p) {
  if (p.name.empty()) return std::to_string(p.number);
  std::string name = p.name;
  name[name.rfind('.')] = '_';
  for (char& c : name) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return name;
}

std::string RcString(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace rsc
