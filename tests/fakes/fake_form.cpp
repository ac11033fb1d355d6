#include "tests/fakes/fake_form.h"

#include <stdexcept>

#include "app/ui/menu_tree.h"

namespace orvantix::testing {

FakeForm::FakeForm() {
  for (const MenuEntry& e : MainMenuTree()) {
    FakeMenuItem item;
    item.caption = e.caption;
    item.enabled = e.enabled;
    if (e.index > 0)
      arrays_[e.name][e.index] = item;
    else
      items_[e.name] = item;
  }
}

std::string FakeForm::PanelText(int panel) const {
  auto it = panels.find(panel);
  return it == panels.end() ? std::string() : it->second;
}

MenuItem& FakeForm::Menu(const std::string& name) {
  auto it = items_.find(name);
  if (it == items_.end()) throw std::out_of_range("no menu item " + name);
  return it->second;
}

MenuItem& FakeForm::MenuArray(const std::string& name, int index) {
  auto& entries = arrays_.at(name);
  auto it = entries.find(index);
  if (it == entries.end())
    throw std::out_of_range("no entry " + std::to_string(index) + " of " + name);
  return it->second;
}

void FakeForm::LoadMenuArrayEntry(const std::string& name, int index) {
  auto& entries = arrays_.at(name);
  if (entries.count(index)) throw std::logic_error("entry already loaded");
  entries[index] = entries.begin()->second;
}

bool FakeForm::HasMenuArrayEntry(const std::string& name, int index) const {
  auto it = arrays_.find(name);
  return it != arrays_.end() && it->second.count(index) > 0;
}

int FakeForm::MenuArrayLBound(const std::string& name) const {
  return arrays_.at(name).begin()->first;
}

int FakeForm::MenuArrayUBound(const std::string& name) const {
  return arrays_.at(name).rbegin()->first;
}

MsgBoxResult FakeForm::MessageBox(const std::string& text, MsgBoxStyle style) {
  messages.emplace_back(text, style);
  if (!answers.empty()) {
    MsgBoxResult r = answers.front();
    answers.pop_front();
    return r;
  }
  return style == MsgBoxStyle::kQuestionYesNo ? MsgBoxResult::kNo : MsgBoxResult::kOk;
}

void FakeForm::SetWindowRect(const Rect& rect) {
  window = rect;
  if (onResize) onResize();
}

void FakeForm::SetPicFrameSize(int width, int height) {
  picFrame.width = width;
  picFrame.height = height;
}

void FakeForm::SetKelvraSize(int width, int height) {
  kelvra.width = width;
  kelvra.height = height;
}

FakeMenuItem& FakeForm::Item(const std::string& key) {
  auto open = key.find('(');
  if (open == std::string::npos) return static_cast<FakeMenuItem&>(Menu(key));
  return static_cast<FakeMenuItem&>(
      MenuArray(key.substr(0, open), std::stoi(key.substr(open + 1))));
}

std::vector<int> FakeForm::CheckedEntries(const std::string& name) const {
  std::vector<int> checked;
  for (const auto& [index, item] : arrays_.at(name))
    if (item.checked) checked.push_back(index);
  return checked;
}

}  // namespace orvantix::testing
