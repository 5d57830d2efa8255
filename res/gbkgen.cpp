// Build-time tool: turns the UTF-8 text sources of res/ into a header of
// GBK byte strings, so the program carries its texts in code page 936.
//
//   gbkgen OUT.h [TABLE.strings | NAME=TEXTFILE | NAME.en=TEXTFILE] ...
//
// TABLE.strings: one text per line, "name<one blank or tab>text", with the
// escapes \r \n \t \\ ; blank lines and lines starting with '#' are skipped.
// "name.en text" gives the English form of the text named before it. Lines
// after "%data" (up to "%texts") are data with one form.
// NAME=TEXTFILE: the whole file becomes one text, line ends turned into
// "\r\n" and a final line end dropped; NAME.en=TEXTFILE its English form.
//
// A text with an English form becomes a res::Text (res/language.h); an
// ASCII text without one, and data, a plain char array.
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool ToGbk(const std::string& utf8, std::string& out) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.assign(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) return false;
  out.resize(out.size() - outLeft);
  return true;
}

std::string Unescape(const std::string& s) {
  std::string r;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) { r += s[i]; continue; }
    char c = s[++i];
    switch (c) {
      case 'r': r += '\r'; break;
      case 'n': r += '\n'; break;
      case 't': r += '\t'; break;
      default: r += c; break;
    }
  }
  return r;
}

// Printable ASCII stays readable; everything else becomes a three-digit octal
// escape, which cannot run into a following digit.
std::string CLiteral(const std::string& bytes) {
  std::string r = "\"";
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
      r += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03o", c);
      r += buf;
    }
    if (c == '\n') r += "\"\n    \"";
  }
  return r + "\"";
}

// One text of the tables: its Chinese (UTF-8 here) and, beside it, its
// English form; data (a font's name, the built-in server list) has one form.
struct Entry {
  std::string name;
  std::string chinese;
  std::string english;
  bool hasEnglish = false;
  bool data = false;
  std::string where;
};

bool IsAscii(const std::string& s) {
  for (unsigned char c : s) {
    if (c >= 0x80) return false;
  }
  return true;
}

// The printf conversions of a text in order ("%d", "%.3f", ...): both forms
// must take the same arguments.
std::vector<std::string> Conversions(const std::string& s) {
  std::vector<std::string> found;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') continue;
    if (i + 1 < s.size() && s[i + 1] == '%') { ++i; continue; }
    size_t end = s.find_first_of("diouxXeEfFgGaAcspn", i + 1);
    if (end == std::string::npos) break;
    found.push_back(s.substr(i, end - i + 1));
    i = end;
  }
  return found;
}

Entry* Find(std::vector<Entry>& entries, const std::string& name) {
  for (Entry& e : entries) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

// Adds a form: NAME is a Chinese text, NAME.en the English form of one given
// before it.
bool Add(std::vector<Entry>& entries, const std::string& name, const std::string& text, bool data,
         const std::string& where) {
  const std::string kEnglish = ".en";
  if (name.size() > kEnglish.size() && name.ends_with(kEnglish)) {
    Entry* e = Find(entries, name.substr(0, name.size() - kEnglish.size()));
    if (e == nullptr || e->hasEnglish || e->data) {
      std::cerr << where << ": " << name << " is not the English form of a text given before it\n";
      return false;
    }
    e->english = text;
    e->hasEnglish = true;
    return true;
  }
  if (name.empty() || Find(entries, name) != nullptr) {
    std::cerr << where << ": text name '" << name << "' is empty or given twice\n";
    return false;
  }
  entries.push_back({name, text, std::string(), false, data, where});
  return true;
}

bool ReadTable(std::vector<Entry>& entries, const std::string& path) {
  std::ifstream table(path);
  if (!table) {
    std::cerr << path << ": cannot read\n";
    return false;
  }
  bool ok = true;
  bool data = false;
  std::string line;
  for (int lineNo = 1; std::getline(table, line); ++lineNo) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line == "%data" || line == "%texts") {
      data = line == "%data";
      continue;
    }
    size_t sep = line.find_first_of(" \t");
    std::string name = line.substr(0, sep);
    std::string text = sep == std::string::npos ? std::string() : Unescape(line.substr(sep + 1));
    ok &= Add(entries, name, text, data, path + ":" + std::to_string(lineNo));
  }
  return ok;
}

bool ReadTextFile(std::vector<Entry>& entries, const std::string& name, const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    std::cerr << path << ": cannot read\n";
    return false;
  }
  std::string raw((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (!raw.empty() && raw.back() == '\n') raw.pop_back();
  std::string text;
  for (char c : raw) {
    if (c == '\r') continue;
    if (c == '\n') text += '\r';
    text += c;
  }
  return Add(entries, name, text, false, path);
}

// A text that is ASCII already reads the same in both languages (a name, a
// number, a message written in English) and stays a plain string; any
// other needs its English form.
bool Emit(std::ostream& out, std::vector<std::string>& texts, const Entry& e) {
  std::string gbk;
  if (!ToGbk(e.chinese, gbk)) {
    std::cerr << e.where << ": text of " << e.name << " has no GBK form\n";
    return false;
  }
  if (e.data || (!e.hasEnglish && IsAscii(e.chinese))) {
    out << "inline constexpr char " << e.name << "[] = " << CLiteral(gbk) << ";\n";
    return true;
  }
  if (!e.hasEnglish) {
    std::cerr << e.where << ": " << e.name << " has no English form (" << e.name << ".en)\n";
    return false;
  }
  if (!IsAscii(e.english) || e.english.empty()) {
    std::cerr << e.where << ": the English form of " << e.name << " must be ASCII and not empty\n";
    return false;
  }
  if (Conversions(e.chinese) != Conversions(e.english)) {
    std::cerr << e.where << ": the two forms of " << e.name << " take different printf arguments\n";
    return false;
  }
  out << "inline constexpr Text " << e.name << "{" << CLiteral(gbk) << ",\n    " << CLiteral(e.english) << "};\n";
  texts.push_back(e.name);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: gbkgen OUT.h [TABLE.strings | NAME=TEXTFILE | NAME.en=TEXTFILE] ...\n";
    return 2;
  }
  bool ok = true;
  std::vector<Entry> entries;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    size_t eq = arg.find('=');
    ok &= eq == std::string::npos ? ReadTable(entries, arg) : ReadTextFile(entries, arg.substr(0, eq), arg.substr(eq + 1));
  }
  std::ostringstream out;
  out << "// Generated by res/gbkgen from the text sources in res/. Do not edit.\n"
         "#pragma once\n\n#include \"res/language.h\"\n\nnamespace res {\n\n";
  std::vector<std::string> texts;
  for (const Entry& e : entries) ok &= Emit(out, texts, e);
  out << "\n// Every text with two forms, by name.\nstruct NamedText {\n  const char* name;\n  const Text* text;\n};\n"
         "inline constexpr NamedText kAllTexts[] = {\n";
  for (const std::string& name : texts) out << "    {\"" << name << "\", &" << name << "},\n";
  out << "};\n\n}  // namespace res\n";
  if (!ok) return 1;
  // Write only on change, so an unchanged text does not rebuild the program.
  std::ifstream old(argv[1], std::ios::binary);
  std::string previous((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
  if (previous != out.str()) {
    std::ofstream o(argv[1], std::ios::binary | std::ios::trunc);
    o << out.str();
    if (!o) { std::cerr << argv[1] << ": cannot write\n"; return 1; }
  }
  return 0;
}
