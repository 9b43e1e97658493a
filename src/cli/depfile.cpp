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
