#pragma once
// Small ports to the rest of the machine: the local printers, the installed fonts, starting a
// program, ending the program, and the shell's Programs folder.
#include "platform/ports.h"

// Receives names one at a time.
class NameSink {
public:
    virtual void Add(const char* name) = 0;

protected:
    ~NameSink() = default;
};

class Printers {
public:
    virtual ~Printers() = default;
    // Hands the name of every local printer to `names` and returns how many printers there are. A
    // failed enumeration counts as no printers: 0, and no names.
    virtual int EnumerateLocal(NameSink& names) = 0;
};

class FontFaces {
public:
    virtual ~FontFaces() = default;
    // Adds the face name of every installed TrueType font to the dialog's list `listId`.
    virtual void AddTrueTypeFaces(int listId) = 0;
};

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Starts a program from a command line, its window shown; false when it could not be started.
    virtual bool Start(const char* commandLine) = 0;
};

class QuitRequest {
public:
    virtual ~QuitRequest() = default;
    // Asks the message loop to end the program with `exitCode`; returns at once.
    virtual void Post(int exitCode) = 0;
};

class ProgramsFolder {
public:
    virtual ~ProgramsFolder() = default;
    // The Start-menu Programs folder common to all users: every user can read it and only
    // administrators can change it, as fits a program whose shell verbs serve every user of the
    // machine. False, with `path` empty, when the shell has none.
    virtual bool Path(char (&path)[kMaxPath]) = 0;
};
