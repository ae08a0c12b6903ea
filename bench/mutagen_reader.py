#!/usr/bin/python3
"""Reads every file of a folder with mutagen in one process, the way a script would: stream
properties and tags.

    mutagen_reader.py FOLDER
"""
import os
import sys

import mutagen


def describe(path):
    try:
        audio = mutagen.File(path)
    except Exception as error:  # a reader bug on one file must not end the run
        return "error: %s: %s" % (type(error).__name__, error)
    if audio is None:
        return "unsupported"
    info = audio.info
    fields = [str(getattr(info, "sample_rate", "")), str(getattr(info, "channels", "")),
              str(getattr(info, "bitrate", "")), "%.3f" % getattr(info, "length", 0.0)]
    if audio.tags:
        fields += ["%s=%s" % (key, str(value)[:80]) for key, value in audio.tags.items()
                   if not key.startswith(("APIC", "covr", "metadata_block_picture"))]
    return "\t".join(fields)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: mutagen_reader.py FOLDER")
    folder = sys.argv[1]
    out = sys.stdout
    for name in os.listdir(folder):
        if not name.startswith("."):
            out.write("%s\t%s\n" % (name, describe(os.path.join(folder, name))))


if __name__ == "__main__":
    main()
