// A recording fake of the character layer: every request becomes one line of its log.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "agent/character_layer.h"

namespace kv::test {

class RecordingCharacter : public agent::AgentCharacter {
 public:
  std::vector<std::string> log;
  std::string mode = "{3FF7410C-A888-4A67-BAFC-55FAF3C5424D}";
  bool visible = false, otherClients = false, dead = false;
  int width = 100, height = 120;

  void Speak(const std::string& t) override { Note("Speak " + t); }
  void Think(const std::string& t) override { Note("Think " + t); }
  void Play(const std::string& a) override { Note("Play " + a); }
  void Stop() override { Note("Stop"); }
  void StopAll() override { Note("StopAll"); }
  void Show() override { Note("Show"), visible = true; }
  void Hide() override { Note("Hide"), visible = false; }
  void MoveTo(int x, int y, int speed) override {
    Note("MoveTo " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(speed));
  }
  int Width() const override { return Alive(), width; }
  int Height() const override { return Alive(), height; }
  bool Visible() const override { return visible; }
  bool HasOtherClients() const override { return otherClients; }
  std::string TTSModeID() const override { return mode; }
  void SetTTSModeID(const std::string& m) override { Note("Mode " + m), mode = m; }
  std::vector<std::string> AnimationNames() const override { return {"WAVE", "THINK"}; }
  void AddCommand(const std::string& name, const std::string&, const std::string&, bool,
                  bool) override {
    Note("Command " + name);
  }

 private:
  void Alive() const {
    if (dead) throw agent::RequestError("gone");
  }
  void Note(const std::string& line) {
    Alive();
    log.push_back(line);
  }
};

class RecordingControl : public agent::AgentControl {
 public:
  std::map<std::string, RecordingCharacter> characters;
  std::vector<std::string> log;
  std::optional<agent::Geometry> active;
  agent::Geometry screen{0, 0, 1024, 768};
  int loadStatus = 0;

  bool SetConnected(bool c) override { return log.push_back(c ? "Connect" : "Disconnect"), true; }
  void SetRaiseRequestErrors(bool) override {}
  int Load(const std::string& id, const std::string& file) override {
    log.push_back("Load " + id + " " + file);
    if (loadStatus == 0) characters[id] = RecordingCharacter();
    return loadStatus;
  }
  agent::AgentCharacter* Character(const std::string& id) override {
    auto it = characters.find(id);
    return it == characters.end() ? nullptr : &it->second;
  }
  void Unload(const std::string& id) override {
    log.push_back("Unload " + id);
    characters.erase(id);
  }
  void ShowPropertySheet() override { log.push_back("PropertySheet"); }
  void ShowDefaultCharacterProperties() override { log.push_back("DefaultCharacter"); }
  std::optional<agent::Geometry> ActiveWindow() const override { return active; }
  agent::Geometry Screen() const override { return screen; }
};

}  // namespace kv::test
