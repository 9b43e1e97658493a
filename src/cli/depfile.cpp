#include "cli/depfile.h"

namespace pixtrel {

namespace {

std::string Escaped(const std::string& name) {
  std::string escaped;
  for (char c : name) {
    if (c == ' ' || c == '#') escaped += '\\';
    if (c == '$') escaped += '$';
    escaped += c;
  }
  return escaped;
}

void AppendNames(const std::vector<std::string>& names, std::string& rule) {
  for (const std::string& name : names) rule += " " + Escaped(name);
}

}  // namespace

std::vector<std::string> DepfileTargets(const std::string& depfile) {
  std::vector<std::string> targets(1);
  for (size_t i = 0; i < depfile.size() && depfile[i] != '\n'; ++i) {
    const char c = depfile[i], next = i + 1 < depfile.size() ? depfile[i + 1] : '\0';
    if ((c == '\\' && (next == ' ' || next == '#')) || (c == '$' && next == '$')) {
      targets.back() += next;
      ++i;
    } else if (c == ':' && (next == ' ' || next == '\n' || next == '\0')) {
      break;
    } else if (c == ' ') {
      if (!targets.back().empty()) targets.emplace_back();
    } else {
      targets.back() += c;
    }
  }
  if (targets.back().empty()) targets.pop_back();
  return targets;
}

std::string DepfileRule(const std::vector<std::string>& targets, const std::vector<std::string>& sources,
                        const std::vector<std::string>& data) {
  std::string rule;
  AppendNames(targets, rule);
  rule.erase(0, 1);
  rule += ":";
  AppendNames(sources, rule);
  AppendNames(data, rule);
  rule += "\n";
  for (const std::string& file : data) rule += Escaped(file) + ":\n";
  return rule;
}

}  // namespace pixtrel
