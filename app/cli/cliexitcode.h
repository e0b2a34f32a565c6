#pragma once

// What service-cli's exit status means. The same table is printed by --help and kept in the README;
// scripts on a production line branch on it, so the numbers never change meaning.
enum class CliExitCode : int
{
    Done = 0,
    // The command line was wrong, or a destructive command was not confirmed (no --yes off a terminal,
    // or "no" to the question whether to run it).
    Usage = 1,
    // No instrument: none found in time, several without --device, USB unavailable, or not the kind the
    // command needs.
    NoInstrument = 2,
    // The instrument failed, refused or went away; the job's result code and message are reported. Also
    // a destructive command without its snapshot: no --without-snapshot, and "no" (or nobody to ask) at
    // "Go on without a snapshot?" -- the same code on a terminal as in a script.
    InstrumentFailed = 3,
    // A file could not be read or written.
    FileError = 4,
    // A check refused the file before anything was sent: wrong hardware revision, bad hash, bad offset, a
    // file that cannot be deciphered, a snapshot of another kind or with a value that does not fit its
    // option.
    Refused = 5,
};
