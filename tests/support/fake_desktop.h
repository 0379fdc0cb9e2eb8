#pragma once
// In-memory printers, fonts, program starts, quit requests and Programs folder.
#include <algorithm>
#include <string>
#include <vector>

#include "fake_controls.h"
#include "platform/desktop.h"

class FakePrinters final : public Printers {
public:
    int EnumerateLocal(NameSink& sink) override {
        if (fails) return 0;
        for (const std::string& name : names) sink.Add(name.c_str());
        return static_cast<int>(names.size());
    }
    std::vector<std::string> names;
    bool fails = false;
};

// Adds its faces to the list as the font enumeration does with the TrueType faces it finds.
class FakeFontFaces final : public FontFaces {
public:
    explicit FakeFontFaces(Controls& controls) : controls_(controls) {}
    void AddTrueTypeFaces(int listId) override {
        for (const std::string& face : faces) controls_.AddString(listId, face.c_str());
    }
    std::vector<std::string> faces;

private:
    Controls& controls_;
};

class FakeLauncher final : public ProgramLauncher {
public:
    bool Start(const char* commandLine) override {
        started.push_back(commandLine);
        return true;
    }
    std::vector<std::string> started;
};

class FakeQuit final : public QuitRequest {
public:
    void Post(int exitCode) override { posted.push_back(exitCode); }
    std::vector<int> posted;
};

class FakeProgramsFolder final : public ProgramsFolder {
public:
    bool Path(char (&path)[kMaxPath]) override {
        if (!available) {
            std::fill(path, path + kMaxPath, 'X');  // the platform leaves no promise about the buffer
            return false;
        }
        path[folder.copy(path, kMaxPath - 1)] = '\0';
        return true;
    }
    std::string folder = "C:\\Documents and Settings\\user\\Start Menu\\Programs";
    bool available = true;
};
