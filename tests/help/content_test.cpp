// The help the program ships: every help number the code sets has its
// entry, every error message the code reports or logs is explained, and
// the pictures and their index hold together.
#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "base/session.h"
#include "base/textconv.h"
#include "display/hpglin.h"
#include "help/hbild.h"
#include "help/helptext.h"
#include "support/testsupport.h"

namespace planox {
namespace {

namespace fs = std::filesystem;

const std::string& Help() {
  static const std::string dir = test::SourceDir() + "/data/help/";
  return dir;
}

// Every source file of the program, by name.
std::map<std::string, std::string> Sources() {
  std::map<std::string, std::string> m;
  for (const auto& e : fs::recursive_directory_iterator(test::SourceDir() + "/src"))
    if (e.path().extension() == ".cpp" || e.path().extension() == ".h")
      m[e.path().string()] = test::ReadFile(e.path().string());
  return m;
}

// The help numbers the code gives to prompts and help buttons.
std::map<int, std::string> HelpNumbersInCode() {
  std::map<int, std::string> numbers;
  const std::regex assign(R"(HelpNumber\s*=\s*(\d+))");
  const std::regex call(R"(\b(?:ShowHelpText|ShowHelpPicture|ShowHelp|dialogHelp)\(([^;]*)\))");
  const std::regex prompt(R"(\b(?:choose|askReal|askYesNo|askText|askInteger)\([^,()]*,\s*(\d{4})\b)");
  const std::regex number(R"(\b\d{4}\b)");
  for (const auto& [file, text] : Sources()) {
    for (std::sregex_iterator i(text.begin(), text.end(), assign), end; i != end; ++i)
      numbers[std::stoi((*i)[1])] = file;
    for (std::sregex_iterator i(text.begin(), text.end(), prompt), end; i != end; ++i)
      numbers[std::stoi((*i)[1])] = file;
    for (std::sregex_iterator i(text.begin(), text.end(), call), end; i != end; ++i) {
      const std::string args = (*i)[1];
      for (std::sregex_iterator k(args.begin(), args.end(), number); k != end; ++k)
        numbers[std::stoi(k->str())] = file;
    }
  }
  numbers.erase(0);
  return numbers;
}

// A C string literal's bytes (the escapes the sources use).
std::string Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    char c = s[++i];
    if (c == 'x') {
      size_t n = 0;
      int v = std::stoi(s.substr(i + 1, 2), &n, 16);
      out += static_cast<char>(v);
      i += n;
    } else {
      out += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
  }
  return out;
}

// The constant beginnings of the messages the code reports or logs: the
// literal that starts the argument, or each branch of a choice.
std::map<std::string, std::string> MessagesInCode() {
  std::map<std::string, std::string> messages;
  const std::regex start(R"(\b(?:ReportError|ShowError|LogError|reportIo)\()");
  const std::regex literals(R"re(^(?:\s*(?:std::string\()?\s*)((?:"(?:[^"\\]|\\.)*"\s*)+))re");
  const std::regex piece(R"re("((?:[^"\\]|\\.)*)")re");
  for (const auto& [file, text] : Sources()) {
    for (std::sregex_iterator i(text.begin(), text.end(), start), end; i != end; ++i) {
      // The argument up to the closing parenthesis.
      size_t p = i->position() + i->length(), depth = 1, q = p;
      bool quoted = false;
      for (; q < text.size() && depth > 0; ++q) {
        if (text[q] == '\\' && quoted) {
          ++q;
        } else if (text[q] == '"') {
          quoted = !quoted;
        } else if (!quoted && text[q] == '(') {
          ++depth;
        } else if (!quoted && text[q] == ')') {
          --depth;
        }
      }
      const std::string arg = text.substr(p, q - p - 1);
      std::vector<std::string> branches{arg};
      if (auto question = arg.find('?'); question != std::string::npos && arg.find('"') > question) {
        auto colon = arg.find(" : ", question);
        branches = {arg.substr(question + 1, colon - question - 1), arg.substr(colon + 3)};
      }
      for (const std::string& b : branches) {
        std::smatch m;
        if (!std::regex_search(b, m, literals)) continue;  // starts with a variable
        const std::string run = m[1];
        std::string message;
        for (std::sregex_iterator k(run.begin(), run.end(), piece); k != end; ++k) message += Unescape((*k)[1]);
        if (!message.empty()) messages[message.substr(0, 14)] = file;
      }
    }
  }
  return messages;
}

std::vector<std::string> ErrorFileMessages() {
  std::vector<std::string> v;
  HelpLines in(Help() + "planox.err");
  std::string line;
  for (int k = 0; in.next(line); ++k)
    if (k % 3 == 0) v.push_back(line);
  return v;
}

using ShippedHelp = test::Defaults;

TEST_F(ShippedHelp, EveryHelpNumberTheCodeSetsHasAnEntry) {
  Settings.PltDir = Help();
  const auto numbers = HelpNumbersInCode();
  ASSERT_GT(numbers.size(), 35u);
  for (int n : {1210, 1970, 2070, 2300, 2365, 2370, 3055, 5100, 5450, 9100}) EXPECT_TRUE(numbers.count(n)) << n;
  for (const auto& [n, file] : numbers) {
    const HelpEntry e = ReadHelpEntry(HelpFileName(n), n);
    EXPECT_TRUE(e.found) << "help number " << n << " (set in " << file << ") has no entry";
    EXPECT_FALSE(TrimText(e.texts[0]).empty()) << n;
    if (!e.picture.empty()) {
      EXPECT_TRUE(fs::is_regular_file(Help() + e.picture + ".plt")) << n << " names " << e.picture;
    }
  }
}

TEST_F(ShippedHelp, EveryReportedMessageIsExplained) {
  const auto explained = ErrorFileMessages();
  const auto messages = MessagesInCode();
  ASSERT_GT(messages.size(), 40u);
  EXPECT_TRUE(messages.count("Error: functio"));
  EXPECT_TRUE(messages.count("disquette plei"));
  for (const auto& [key, file] : messages) {
    bool found = false;
    for (const std::string& m : explained) found = found || m.compare(0, key.size(), key) == 0;
    EXPECT_TRUE(found) << "\"" << Cp850ToUtf8(key) << "\" (" << file << ") is not in planox.err";
  }
}

TEST_F(ShippedHelp, FilesHoldTogether) {
  // Three lines an entry, none empty.
  HelpLines in(Help() + "planox.err");
  std::string line;
  int count = 0;
  while (in.next(line)) {
    EXPECT_FALSE(TrimText(line).empty()) << "line " << count + 1;
    ++count;
  }
  EXPECT_EQ(count % 3, 0);
  // Every text line of a help file reads as text, never as a header.
  for (const char* f : {"quorvel.hlp", "planox.hlp"}) {
    HelpLines h(Help() + f);
    while (h.next(line)) {
      const bool header = line.size() >= 4 && std::isdigit(static_cast<unsigned char>(line[0]));
      if (header) {
        EXPECT_EQ(std::stoi(line.substr(0, 4)) % 5, 0) << f << ": " << line;
      }
      EXPECT_LE(line.size(), 250u) << line;
    }
  }
  // The index names every picture, each picture draws inside the help
  // world, and each is named in a help entry.
  const auto index = ReadPictureIndex(Help() + "planox.dbh");
  std::set<std::string> listed;
  for (const auto& l : index) {
    listed.insert(l.name);
    EXPECT_LE(l.name.size(), 8u);
    EXPECT_LE(l.description.size(), 50u);
  }
  std::string entries = test::ReadFile(Help() + "quorvel.hlp") + test::ReadFile(Help() + "planox.hlp");
  for (const auto& e : fs::directory_iterator(Help())) {
    if (e.path().extension() != ".plt") continue;
    const std::string name = e.path().stem().string();
    EXPECT_TRUE(listed.count(name)) << name << " is not in planox.dbh";
    EXPECT_NE(entries.find(":" + name + "\r\n"), std::string::npos) << name << " is in no help entry";
    HpglBox b;
    ASSERT_TRUE(HpglFileExtents(e.path().string(), b)) << name;
    EXPECT_GE(b.xmin, 0) << name;
    EXPECT_GE(b.ymin, 0) << name;
    EXPECT_LE(b.xmax, 160) << name;
    EXPECT_LE(b.ymax, 120) << name;
    listed.erase(name);
  }
  EXPECT_TRUE(listed.empty()) << *listed.begin() << " has no picture";
  EXPECT_TRUE(ui.records.empty());
}

}  // namespace
}  // namespace planox
