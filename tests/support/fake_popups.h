// Fakes of the popups' native windows and of the desktop's dialogs: the
// popups record where they are, their shape and whether they show; a
// modal run answers at once with a preset result; the dialogs answer with
// preset choices and record what they were asked.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ports/desktop_dialogs.h"
#include "ports/popup_window.h"

namespace tolvar::testing {

struct PopupRecord {
  PopupHandlers* handlers = nullptr;
  PopupWindow* owner = nullptr;
  std::u16string title;
  Point origin;
  int width = 0;
  int height = 0;
  Region shape;
  bool shown = false;
  bool destroyed = false;
  bool modal = false;
  int invalidations = 0;
};

// Runs while a modal loop is open (the user acting on the modal popup);
// an EndModal it causes ends the loop with that result.
using WhileModal = std::function<void(PopupRecord&)>;

class FakePopupWindow final : public PopupWindow {
 public:
  FakePopupWindow(PopupRecord& record, std::deque<int>& modalResults, const WhileModal& whileModal)
      : record_(record), modalResults_(modalResults), whileModal_(whileModal) {}
  ~FakePopupWindow() override { record_.destroyed = true; }
  void SetTitle(const std::u16string& title) override { record_.title = title; }
  void Move(int x, int y, int width, int height) override {
    record_.origin = {x, y};
    record_.width = width;
    record_.height = height;
  }
  void SetShape(const Region& region) override { record_.shape = region; }
  void Show() override { record_.shown = true; }
  void Hide() override { record_.shown = false; }
  void Invalidate() override { ++record_.invalidations; }
  Point Origin() const override { return record_.origin; }
  int RunModal() override {
    record_.modal = true;
    record_.shown = true;
    if (whileModal_) {
      ended_.reset();
      whileModal_(record_);
      if (ended_) return *ended_;
    }
    if (modalResults_.empty()) return 0;
    const int result = modalResults_.front();
    modalResults_.pop_front();
    return result;
  }
  void EndModal(int result) override {
    if (!ended_) ended_ = result;
  }

 private:
  PopupRecord& record_;
  std::deque<int>& modalResults_;
  const WhileModal& whileModal_;
  std::optional<int> ended_;
};

class FakePopupWindows final : public PopupWindows {
 public:
  std::unique_ptr<PopupWindow> Create(PopupHandlers& handlers, PopupWindow* owner) override {
    records.push_back(std::make_unique<PopupRecord>());
    records.back()->handlers = &handlers;
    records.back()->owner = owner;
    return std::make_unique<FakePopupWindow>(*records.back(), modalResults, whileModal);
  }
  // The popups that exist and show, oldest first.
  std::vector<PopupRecord*> Showing() const {
    std::vector<PopupRecord*> showing;
    for (const auto& r : records) {
      if (r->shown && !r->destroyed) showing.push_back(r.get());
    }
    return showing;
  }

  std::vector<std::unique_ptr<PopupRecord>> records;
  std::deque<int> modalResults;  // what each modal run returns, in order, when nothing ended it
  WhileModal whileModal;         // what happens during each modal run
};

class FakeDesktop final : public DesktopDialogs {
 public:
  std::optional<std::string> OpenFile(const FileDialogOptions& options) override {
    asked.push_back(options);
    return openAnswer;
  }
  std::optional<std::string> SaveFile(const FileDialogOptions& options) override {
    asked.push_back(options);
    return saveAnswer;
  }
  std::optional<Rgb> ChooseColour(Rgb initial) override {
    colourAskedWith = initial;
    return colourAnswer;
  }
  void OpenPage(const std::string& file) override { pagesOpened.push_back(file); }
  void SetLanguage(std::uint8_t verSel) override { languages.push_back(verSel); }

  std::vector<std::uint8_t> languages;  // each language the dialogs were set to
  std::optional<std::string> openAnswer;
  std::optional<std::string> saveAnswer;
  std::optional<Rgb> colourAnswer;
  std::optional<Rgb> colourAskedWith;
  std::vector<FileDialogOptions> asked;
  std::vector<std::string> pagesOpened;
};

}  // namespace tolvar::testing
