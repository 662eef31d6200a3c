#include "drawing/dxftext.h"

#include <algorithm>
#include <cmath>

#include "base/textconv.h"
#include "base/textconv_utf8.h"

namespace planox {

namespace {

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
  if (c <= '9') return c - '0';
  return (c | 0x20) - 'a' + 10;
}

bool StartsWithNoCase(std::string_view s, size_t i, std::string_view word) {
  if (s.size() - i < word.size()) return false;
  for (size_t k = 0; k < word.size(); ++k) {
    char c = s[i + k];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != word[k]) return false;
  }
  return true;
}

// The bytes of a value as UTF-8, with "^" escapes of control characters
// decoded ("^ " is a caret itself).
std::string ToUtf8(std::string_view raw, TextEncoding encoding) {
  std::string s;
  switch (encoding) {
    case TextEncoding::Utf8: s.assign(raw); break;
    case TextEncoding::Ansi1252: s = Cp1252ToUtf8(raw); break;
    case TextEncoding::Cp850: s = Cp850ToUtf8(raw); break;
    case TextEncoding::Unknown:
      for (char c : raw) s += static_cast<unsigned char>(c) < 128 ? c : '?';
      break;
  }
  if (s.find('^') == std::string::npos) return s;
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '^' && i + 1 < s.size()) {
      char n = s[i + 1];
      if (n == ' ') {
        out += '^';
        ++i;
        continue;
      }
      if (n >= '@' && n <= '_') {
        out += static_cast<char>(n - '@');
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

// "\U+XXXX" at i (checked by the caller's StartsWithNoCase) as UTF-8;
// false when fewer than four hex digits follow.
bool UnicodeEscape(std::string_view s, size_t& i, std::string& out) {
  if (i + 7 > s.size()) return false;
  char32_t c = 0;
  for (size_t k = 3; k < 7; ++k) {
    if (!IsHex(s[i + k])) return false;
    c = c * 16 + static_cast<char32_t>(HexValue(s[i + k]));
  }
  AppendUtf8(out, c);
  i += 7;
  return true;
}

// Special codes, Unicode escapes and control characters of one line of
// UTF-8 text, then the whole turned into code page 850.
std::string FinishText(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    char c = s[i];
    if (c == '%' && i + 2 < s.size() && s[i + 1] == '%') {
      char k = s[i + 2];
      switch (k | 0x20) {
        case 'c': out += "\xC3\x98"; i += 3; continue;  // diameter: capital O with stroke
        case 'd': out += "\xC2\xB0"; i += 3; continue;  // degree
        case 'p': out += "\xC2\xB1"; i += 3; continue;  // plus-minus
        case 'u': case 'o': case 'k': i += 3; continue;  // line switches
        default: break;
      }
      if (k == '%') {
        out += '%';
        i += 3;
        continue;
      }
      if (k >= '0' && k <= '9') {  // %%nnn: a character by its number
        size_t j = i + 2;
        unsigned n = 0;
        while (j < s.size() && j < i + 5 && s[j] >= '0' && s[j] <= '9') n = n * 10 + unsigned(s[j++] - '0');
        if (n < 256) {
          out += Cp1252ToUtf8(std::string(1, static_cast<char>(n)));
          i = j;
          continue;
        }
      }
    }
    if (c == '\\' && StartsWithNoCase(s, i, "\\U+") && UnicodeEscape(s, i, out)) continue;
    if (static_cast<unsigned char>(c) < 32) {
      if (c == '\t') out += ' ';
      ++i;
      continue;
    }
    out += c;
    ++i;
  }
  return Utf8ToCp850(out);
}

}  // namespace

TextEncoding EncodingOf(std::string_view acadVersion, std::string_view codePage) {
  std::string v = UpperText(TrimText(acadVersion));
  if (v.size() == 6 && v.compare(0, 2, "AC") == 0 && v >= "AC1021") return TextEncoding::Utf8;
  std::string p = UpperText(TrimText(codePage));
  if (p.empty() || p == "DOS850") return TextEncoding::Cp850;
  if (p == "ANSI_1252" || p == "ISO8859-1" || p == "ISO8859_1") return TextEncoding::Ansi1252;
  if (p == "UTF8" || p == "UTF-8") return TextEncoding::Utf8;
  return TextEncoding::Unknown;
}

std::string DecodeText(std::string_view raw, TextEncoding encoding) {
  return FinishText(ToUtf8(raw, encoding));
}

std::vector<std::string> MTextLines(std::string_view raw, TextEncoding encoding) {
  const std::string s = ToUtf8(raw, encoding);
  std::vector<std::string> lines;
  std::string line;
  auto newLine = [&] {
    lines.push_back(FinishText(line));
    line.clear();
  };
  // Skips a code's argument up to and including its ";".
  auto skipArgument = [&](size_t& i) {
    size_t semi = s.find(';', i);
    i = semi == std::string::npos ? s.size() : semi + 1;
  };
  for (size_t i = 0; i < s.size();) {
    char c = s[i];
    if (c == '{' || c == '}') {
      ++i;
      continue;
    }
    if (c == '\n') {
      newLine();
      ++i;
      continue;
    }
    if (c != '\\' || i + 1 >= s.size()) {
      line += c;
      ++i;
      continue;
    }
    char code = s[i + 1];
    switch (code) {
      case 'P': case 'X': case 'N':
        newLine();
        i += 2;
        break;
      case '~': line += ' '; i += 2; break;
      case '\\': case '{': case '}': line += code; i += 2; break;
      case 'U': case 'u':
        if (StartsWithNoCase(s, i, "\\U+")) {
          line += s.substr(i, 7 <= s.size() - i ? 7 : s.size() - i);  // resolved with the line
          i += 7;
        } else {
          i += 2;
        }
        break;
      case 'M': case 'm':
        // A double-byte character of an Asian code page: not held here.
        line += '?';
        i += 2;
        if (i < s.size() && s[i] == '+') i = std::min(s.size(), i + 6);
        break;
      case 'S': {
        // Stacked text "a^b", "a/b" or "a#b" up to ";".
        i += 2;
        size_t semi = s.find(';', i);
        std::string stack = s.substr(i, (semi == std::string::npos ? s.size() : semi) - i);
        for (char& k : stack)
          if (k == '^' || k == '#') k = '/';
        size_t slash = stack.find('/');
        if (slash != std::string::npos)
          while (slash + 1 < stack.size() && stack[slash + 1] == ' ') stack.erase(slash + 1, 1);
        line += stack;
        i = semi == std::string::npos ? s.size() : semi + 1;
        break;
      }
      case 'A': case 'C': case 'c': case 'F': case 'f': case 'H': case 'h': case 'Q': case 'q':
      case 'T': case 't': case 'W': case 'w': case 'p':
        skipArgument(i);
        break;
      case 'L': case 'l': case 'O': case 'o': case 'K': case 'k':
        i += 2;
        break;
      default:  // an unknown code: its letter stays
        ++i;
        break;
    }
  }
  newLine();
  return lines;
}

// ------------------------------------------------------------ placing

namespace {

Point Along(Point at, long double rotation, long double lx, long double ly) {
  long double a = DegToRad(rotation), c = std::cos(a), s = std::sin(a);
  return {at.x + lx * c - ly * s, at.y + lx * s + ly * c};
}

long double TextWidth(const std::string& text, long double height, long double widthFactor) {
  return static_cast<long double>(text.size()) * height * std::fabs(widthFactor) * CharAdvance;
}

// Greedy word wrap of a line to a width, counted in characters.
void Wrap(const std::string& line, size_t columns, std::vector<std::string>& out) {
  if (line.size() <= columns) {
    out.push_back(line);
    return;
  }
  std::string current;
  size_t start = 0;
  while (start <= line.size()) {
    size_t space = line.find(' ', start);
    std::string word = line.substr(start, space == std::string::npos ? std::string::npos : space - start);
    if (!current.empty() && current.size() + 1 + word.size() > columns) {
      out.push_back(current);
      current.clear();
    }
    current += (current.empty() ? "" : " ") + word;
    if (space == std::string::npos) break;
    start = space + 1;
  }
  out.push_back(current);
}

}  // namespace

PlacedText PlaceText(const TextEntity& t) {
  PlacedText r;
  r.text = t.text;
  r.height = t.height;
  r.widthFactor = t.widthFactor;
  r.rotation = t.rotation;
  int h = t.horizontal >= 0 && t.horizontal <= 5 ? t.horizontal : 0;
  int v = t.vertical >= 0 && t.vertical <= 3 ? t.vertical : 0;
  if (h >= 3) v = 0;
  Point anchor = t.first;
  if (t.hasSecond && (h != 0 || v != 0)) anchor = t.second;

  if (h == 3 || h == 5) {  // aligned and fit: the text runs from the first point to the second
    anchor = t.first;
    long double dx = t.second.x - t.first.x, dy = t.second.y - t.first.y;
    long double length = std::hypot(dx, dy), width = TextWidth(t.text, r.height, r.widthFactor);
    if (t.hasSecond && length > 0 && width > 0) {
      r.rotation = RadToDeg(std::atan2(dy, dx));
      if (h == 3)
        r.height *= length / width;
      else
        r.widthFactor *= length / width;
    }
    h = 0;
  }
  long double width = TextWidth(r.text, r.height, r.widthFactor), height = r.height;
  long double x0 = h == 1 || h == 4 ? -width / 2 : h == 2 ? -width : 0;
  long double y0 = v == 1 ? height * 0.3L : v == 2 || h == 4 ? -height / 2 : v == 3 ? -height : 0;
  const bool backwards = t.flags & 2, upsideDown = t.flags & 4;
  if (backwards && upsideDown) {
    // Mirrored both ways is turned half round.
    r.at = Along(anchor, r.rotation, -x0, -y0);
    r.rotation += 180;
    return r;
  }
  // Mirrored one way: drawn readable in the place the mirrored text takes.
  if (backwards) x0 = -x0 - width;
  if (upsideDown) y0 = -y0 - height;
  r.at = Along(anchor, r.rotation, x0, y0);
  return r;
}

std::vector<PlacedText> PlaceMText(const MTextEntity& m) {
  const long double h = m.height > 0 ? m.height : 3.5L;
  std::vector<std::string> lines;
  const long double perChar = h * CharAdvance;
  for (const std::string& l : m.lines) {
    if (m.boxWidth > 0 && TextWidth(l, h, 1) > m.boxWidth) {
      long double cols = std::floor(m.boxWidth / perChar);
      Wrap(l, static_cast<size_t>(std::clamp(cols, 1.0L, 1e6L)), lines);
    } else {
      lines.push_back(l);
    }
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  const long double step = 5.0L / 3 * h * std::clamp(m.spacing, 0.25L, 4.0L);
  const long double total = h + step * static_cast<long double>(lines.empty() ? 0 : lines.size() - 1);
  int a = m.attachment >= 1 && m.attachment <= 9 ? m.attachment : 1;
  int row = (a - 1) / 3, col = (a - 1) % 3;
  long double baseline = row == 0 ? -h : row == 1 ? total / 2 - h : total - h;
  std::vector<PlacedText> out;
  for (const std::string& l : lines) {
    if (!l.empty()) {
      long double w = TextWidth(l, h, 1);
      long double x = col == 0 ? 0 : col == 1 ? -w / 2 : -w;
      out.push_back({l, Along(m.at, m.rotation, x, baseline), h, 1, m.rotation});
    }
    baseline -= step;
  }
  return out;
}

}  // namespace planox
