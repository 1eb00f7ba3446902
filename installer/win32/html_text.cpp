#include "installer/win32/html_text.h"

#include <cctype>
#include <string_view>

namespace kv::installer {

namespace {

// Tags after which the text goes on on a new line, and those that end a paragraph (an empty
// line after it).
bool BreaksLine(std::string_view tag) {
  for (std::string_view name : {"br", "p", "div", "/div", "li", "/li"})
    if (tag == name) return true;
  return false;
}

bool EndsParagraph(std::string_view tag) {
  for (std::string_view name : {"/p", "/h1", "/h2", "/h3"})
    if (tag == name) return true;
  return false;
}

std::string TagName(std::string_view inside) {
  std::string name;
  for (char c : inside) {
    if (std::isspace(static_cast<unsigned char>(c)) || c == '>' || (c == '/' && !name.empty()))
      break;
    name += char(std::tolower(static_cast<unsigned char>(c)));
  }
  return name;
}

void AddText(std::string& out, char c) {
  const bool blank = std::isspace(static_cast<unsigned char>(c)) != 0;
  if (blank && (out.empty() || out.back() == ' ' || out.back() == '\n')) return;
  out += blank ? ' ' : c;
}

}  // namespace

std::string HtmlText(const std::string& html) {
  static constexpr std::pair<std::string_view, char> kReferences[] = {
      {"&nbsp;", ' '}, {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}};
  std::string out;
  bool skipping = false;  // inside <head> ... </head> or a script
  for (size_t i = 0; i < html.size();) {
    if (html[i] == '<') {
      const size_t end = html.find('>', i);
      const std::string tag = TagName(std::string_view(html).substr(i + 1, end - i - 1));
      if (tag == "head" || tag == "script" || tag == "style") skipping = true;
      if (tag == "/head" || tag == "/script" || tag == "/style") skipping = false;
      if (!skipping && (BreaksLine(tag) || EndsParagraph(tag))) {
        while (!out.empty() && out.back() == ' ') out.pop_back();
        if (!out.empty() && out.back() != '\n') out += '\n';
        if (EndsParagraph(tag) && !out.empty() && !out.ends_with("\n\n")) out += '\n';
      }
      if (end == std::string::npos) break;
      i = end + 1;
      continue;
    }
    if (skipping) {
      ++i;
      continue;
    }
    bool referenced = false;
    for (const auto& [name, c] : kReferences)
      if (std::string_view(html).substr(i, name.size()) == name) {
        AddText(out, c);
        i += name.size();
        referenced = true;
        break;
      }
    if (!referenced) AddText(out, html[i++]);
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '\n')) out.pop_back();
  return out;
}

}  // namespace kv::installer
