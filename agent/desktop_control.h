// The character layer's control object on this desktop: loads characters from their files
// into windows of their own, and tells the active window and the screen.
#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>

#include "agent/character_layer.h"
#include "agent/desktop_character.h"

namespace kv::agent {

class DesktopControl final : public AgentControl {
 public:
  DesktopControl();
  ~DesktopControl() override;

  // Fails when the program has no widget application (nowhere to show a character).
  bool SetConnected(bool connected) override;
  void SetRaiseRequestErrors(bool raise) override { raiseErrors_ = raise; }
  int Load(const std::string& id, const std::string& file) override;
  AgentCharacter* Character(const std::string& id) override;
  void Unload(const std::string& id) override;
  void ShowPropertySheet() override;
  void ShowDefaultCharacterProperties() override;
  std::optional<Geometry> ActiveWindow() const override;
  Geometry Screen() const override;

  // Load statuses besides 0.
  static constexpr int kNotConnected = 1, kFileNotFound = 2;

 private:
  std::optional<CharacterLook> FindLook(const std::string& file) const;

  bool connected_ = false, raiseErrors_ = true;
  std::string defaultFile_;  // chosen in the default-character dialog; empty: "DEFAULT"
  std::map<std::string, std::unique_ptr<DesktopCharacter>> characters_;
  QPointer<QWidget> sheet_, chooser_;
};

// Names of the installed character files without ".ACS", upper case, sorted.
std::vector<std::string> InstalledCharacterNames();

}  // namespace kv::agent
