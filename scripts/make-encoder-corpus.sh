#!/usr/bin/env bash
# Builds a corpus of audio files made by the real encoders of this machine and tagged by a
# standard tagger (mutagen), for the encoder comparison test and the peer benchmark.
#
#   make-encoder-corpus.sh [options] OUTDIR [COUNT]
#
#   OUTDIR/audio/        COUNT files (default 48), copies of a few dozen encoder outputs
#                        ("masters"), each with its own tags
#   OUTDIR/manifest.tsv  file, master, tag style (what the comparison's rules look at)
#
# Options:
#   --seconds S    length of the masters in seconds (default 1)
#   --large N      also N large files of 50-100 MB (long audio by stream copy, or a sparse
#                  WAVE of silence), named large-*
#   --reference    also OUTDIR/reference.tsv: what ffprobe (sampling rate, channels) and
#                  mutagen (tag texts) read from every file
#
# Tag styles: ID3v2.3 UTF-16, ID3v2.3 Latin-1, ID3v2.4 UTF-8, UTF-16 and UTF-16BE (some with
# cover art, one in fifty with a cover of over 2 MiB), ID3v1 only, the encoders' own tags
# (lame, ffmpeg, flac, oggenc, wavpack), Vorbis comments, APEv2, ID3 in WAVE, none. Texts are
# Latin, Cyrillic and Japanese; some are longer than 255 bytes.
set -euo pipefail

python=/usr/bin/python3 # mutagen is a Debian package for the system Python
seconds=1
large=0
reference=0
while [ $# -gt 0 ]; do
    case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --large) large=$2; shift 2 ;;
    --reference) reference=1; shift ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) break ;;
    esac
done
[ $# -ge 1 ] || { sed -n '2,20p' "$0" >&2; exit 2; }
out=$1
count=${2:-48}
for tool in ffmpeg ffprobe lame flac oggenc wavpack; do
    command -v "$tool" >/dev/null || { echo "missing encoder: $tool" >&2; exit 1; }
done
"$python" -c 'import mutagen' || { echo "missing: python3-mutagen" >&2; exit 1; }

mkdir -p "$out/audio"
rm -f "$out"/audio/* "$out/manifest.tsv" "$out/reference.tsv"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
masters=$work/masters
mkdir -p "$masters"

ff() { ffmpeg -hide_banner -loglevel error -nostdin "$@"; }

# source NAME RATE LAYOUT [SAMPLE_CODEC]: the length of a master as a WAVE file in $work, a
# different pitch per channel so that no encoder can fold the channels together.
make_source() {
    local channels
    case $3 in mono) channels=1 ;; stereo) channels=2 ;; *) channels=6 ;; esac
    local parts=()
    for ((c = 0; c < channels; c++)); do parts+=("0.3*sin($((330 + 110 * c))*2*PI*t)"); done
    local expression
    expression=$(IFS='|'; echo "${parts[*]}")
    ff -f lavfi -i "aevalsrc=$expression:s=$2:c=$3:d=$seconds" -c:a "${4:-pcm_s16le}" \
        -bitexact -y "$work/$1.wav"
}

# MP3: lame CBR and VBR (Xing), MPEG-1 and MPEG-2, with and without lame's own tags; ffmpeg.
make_source s44 44100 stereo
make_source s48 48000 stereo
make_source m22 22050 mono
make_source s24 24000 stereo
make_source m32 32000 mono
lame --quiet -b 128 "$work/s44.wav" "$masters/lame-cbr128-44100.mp3"
lame --quiet -V 2 "$work/s44.wav" "$masters/lame-vbr2-44100.mp3"
lame --quiet -V 5 "$work/s48.wav" "$masters/lame-vbr5-48000.mp3"
lame --quiet -b 64 "$work/m22.wav" "$masters/lame-cbr64-22050-mono.mp3"
lame --quiet -b 96 -m m "$work/m32.wav" "$masters/lame-cbr96-32000-mono.mp3"
lame --quiet -b 320 -m s "$work/s44.wav" "$masters/lame-cbr320-44100-tagged.mp3" \
    --id3v2-only --id3v2-utf16 --tt "Ночь" --ta "Кино" --tl "Группа крови" --tg Rock \
    --tc "Из альбома" --tn 4/11 --ty 1988
ff -i "$work/s24.wav" -c:a libmp3lame -q:a 4 "$masters/ffmpeg-vbr-24000.mp3"
ff -i "$work/s44.wav" -c:a libmp3lame -b:a 192k -id3v2_version 3 -metadata title="風の谷" \
    -metadata artist="久石譲" -metadata album="Soundtrack" -metadata genre=Soundtrack \
    -metadata track=1/20 "$masters/ffmpeg-cbr192-44100-tagged.mp3"

# AC3 and DTS from ffmpeg.
make_source six48 48000 5.1
make_source six44 44100 '5.1(side)'
ff -i "$work/six48.wav" -c:a ac3 -b:a 448k "$masters/ffmpeg-5.1-48000.ac3"
ff -i "$work/s44.wav" -c:a ac3 -b:a 192k "$masters/ffmpeg-stereo-44100.ac3"
ff -i "$work/m32.wav" -c:a ac3 -b:a 96k "$masters/ffmpeg-mono-32000.ac3"
ff -i "$work/six48.wav" -strict -2 -c:a dca -b:a 1509k "$masters/ffmpeg-5.1-48000.dts"
ff -i "$work/s44.wav" -strict -2 -c:a dca -b:a 768k "$masters/ffmpeg-stereo-44100.dts"
ff -i "$work/six44.wav" -strict -2 -c:a dca -b:a 768k "$masters/ffmpeg-5.1side-44100.dts"

# WavPack from the wavpack tool (lossless, hybrid, high resolution) and from ffmpeg.
make_source s44x24 44100 stereo pcm_s24le
make_source s96 96000 stereo pcm_s24le
wavpack -q -y "$work/s44.wav" -o "$masters/wavpack-16-44100.wv"
wavpack -q -y -b256 "$work/s48.wav" -o "$masters/wavpack-hybrid-48000.wv"
wavpack -q -y -hh "$work/s96.wav" -o "$masters/wavpack-24-96000.wv"
wavpack -q -y "$work/m22.wav" -o "$masters/wavpack-mono-22050.wv" \
    -w "Title=Утро" -w "Artist=Оркестр" -w "Year=2001"
ff -i "$work/s44x24.wav" -c:a wavpack "$masters/ffmpeg-24-44100.wv"
ff -i "$work/six48.wav" -c:a wavpack "$masters/ffmpeg-5.1-48000.wv"

# FLAC from the flac tool (its own Vorbis comments) and from ffmpeg (another vendor string).
make_source m8 8000 mono
flac -s -f "$work/s44.wav" -o "$masters/flac-16-44100.flac"
flac -s -f "$work/s96.wav" -o "$masters/flac-24-96000.flac"
flac -s -f "$work/m8.wav" -o "$masters/flac-mono-8000-tagged.flac" --tag=TITLE="Café del Mar" \
    --tag=ARTIST="Группа" --tag=ALBUM="アルバム" --tag=DATE=1999 --tag=GENRE=Chillout \
    --tag=DESCRIPTION="Encoded by flac" --tag=TRACKNUMBER=2
ff -i "$work/six48.wav" -c:a flac "$masters/ffmpeg-5.1-48000.flac"
ff -i "$work/m22.wav" -c:a flac -metadata title="Из ffmpeg" -metadata artist=Lavf \
    -metadata date=2024 "$masters/ffmpeg-mono-22050-tagged.flac"

# Ogg Vorbis from oggenc (quality and managed bitrate) and ffmpeg's libvorbis.
oggenc -Q -q 3 "$work/s44.wav" -o "$masters/oggenc-q3-44100.ogg"
oggenc -Q --managed -b 128 -m 96 -M 160 "$work/s48.wav" -o "$masters/oggenc-managed-48000.ogg"
oggenc -Q -q 1 "$work/m22.wav" -o "$masters/oggenc-mono-22050-tagged.ogg" -t "Рассвет" -a "Artist" \
    -l "Album" -G Ambient -N 3 -d 2010
ff -i "$work/six48.wav" -c:a libvorbis -q:a 4 "$masters/ffmpeg-5.1-48000.ogg"

# WAVE from ffmpeg: plain 16-byte fmt, and the extensible form (more than 2 channels or
# 24 bits).
ff -i "$work/s44.wav" -c:a pcm_s16le "$masters/ffmpeg-16-44100.wav"
ff -i "$work/m8.wav" -c:a pcm_u8 "$masters/ffmpeg-u8-8000.wav"
ff -i "$work/s96.wav" -c:a pcm_s24le "$masters/ffmpeg-24-96000.wav"
ff -i "$work/six48.wav" -c:a pcm_s16le "$masters/ffmpeg-5.1-48000.wav"

# Copies of the masters, each tagged by mutagen in a style that suits its format.
"$python" - "$masters" "$out/audio" "$count" >"$out/manifest.tsv" <<'PY'
import os, random, shutil, sys
from mutagen.apev2 import APEv2
from mutagen.flac import FLAC, Picture
from mutagen.id3 import (ID3, APIC, COMM, TALB, TCON, TDRC, TIT2, TPE1, TPE2, TRCK, delete)
from mutagen.oggvorbis import OggVorbis
from mutagen.wave import WAVE

masters_dir, out_dir, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
masters = sorted(os.listdir(masters_dir))

TITLES = ["Morning Song", "Привет, мир", "夜に駆ける", "Café au lait", "Лунная соната",
          "桜の花びらたち", "Ünter den Linden", "Звезда по имени Солнце"]
ARTISTS = ["The Band", "Кино", "坂本龍一", "Ærø Quartet", "Ария", "宇多田ヒカル"]
ALBUMS = ["First Light", "Группа крови", "千と千尋", "Él y ella", "Герой асфальта"]
GENRES = ["Rock", "(17)", "Jazz", "J-Pop", "Электроника", "(31)Trance", "Classical"]
COMMENTS = ["Nice take", "Комментарий по-русски", "とても良い曲です", "Crème brûlée"]
LATIN1 = {"titles": ["Morning Song", "Café au lait", "Ünter den Linden", "Señorita"],
          "artists": ["The Band", "Ærø Quartet", "Björk"],
          "albums": ["First Light", "Él y ella", "Große Fuge"],
          "comments": ["Nice take", "Crème brûlée"]}
# One text in seven is longer than the 255 bytes a field holds.
LONG = "Очень длинный комментарий, который не помещается в поле. " * 6

# The styles each format gets, in turn.
STYLES = {
    "mp3": ["id3v23-utf16", "id3v24-utf8", "id3v24-utf16", "id3v23-latin1", "id3v24-utf16be",
            "id3v1", "encoder", "none"],
    "flac": ["vorbis", "vorbis-albumartist", "vorbis-comment-key", "encoder"],
    "ogg": ["vorbis", "encoder"],
    "wv": ["ape", "encoder", "none"],
    "wav": ["none", "id3-chunk"],
    "ac3": ["none"],
    "dts": ["none"],
}

def pick(items, i, salt=0):
    return random.Random(i * 10 + salt).choice(items)

def texts(i, latin1=False):
    if latin1:
        return dict(title=pick(LATIN1["titles"], i), artist=pick(LATIN1["artists"], i, 1),
                    album=pick(LATIN1["albums"], i, 2), genre=pick(["Rock", "Jazz", "(17)"], i),
                    year=str(1970 + i % 50), comment=pick(LATIN1["comments"], i, 3),
                    track="%d/%d" % (i % 12 + 1, 12))
    return dict(title=pick(TITLES, i), artist=pick(ARTISTS, i, 1), album=pick(ALBUMS, i, 2),
                genre=pick(GENRES, i), year=str(1970 + i % 50),
                comment=LONG if i % 7 == 3 else pick(COMMENTS, i, 3),
                track=str(i % 20 + 1) if i % 2 else "%d/%d" % (i % 12 + 1, 12))

def cover(i):
    if i % 50 == 25:
        size = 2_300_000  # a tag of over 2 MiB
    elif i % 3 == 0:
        size = 1000 + (i * 7919) % 60000
    else:
        return None
    body = bytes((k * 31 + i) % 251 for k in range(min(size, 4096)))
    return b"\x89PNG\r\n\x1a\n" + (body * (size // len(body) + 1))[:size]

def id3_tags(path, i, version, encoding, latin1=False):
    t = texts(i, latin1)
    tags = ID3()
    picture = cover(i)
    if picture:
        tags.add(APIC(encoding=encoding, mime="image/png", type=3, desc="Cover", data=picture))
    tags.add(TIT2(encoding=encoding, text=t["title"]))
    tags.add(TPE1(encoding=encoding, text=t["artist"]))
    tags.add(TALB(encoding=encoding, text=t["album"]))
    tags.add(TCON(encoding=encoding, text=t["genre"]))
    tags.add(TDRC(encoding=encoding, text=t["year"]))
    tags.add(TRCK(encoding=encoding, text=t["track"]))
    if i % 4 == 1:  # a player's comment with a description beside the user's
        tags.add(COMM(encoding=encoding, lang="eng", desc="iTunNORM",
                      text=" 00000A3C 00000B1F 0000475E"))
    tags.add(COMM(encoding=encoding, lang="eng", desc="", text=t["comment"]))
    if i % 5 == 2:
        tags.add(TPE2(encoding=encoding, text="Album Artist"))
    if version == 3:
        tags.update_to_v23()  # TDRC becomes TYER, as the version requires
    tags.save(path, v2_version=version, v1=0)

def id3v1_only(path, i):
    t = texts(i, latin1=True)
    tags = ID3()
    tags.add(TIT2(encoding=0, text=t["title"]))
    tags.add(TPE1(encoding=0, text=t["artist"]))
    tags.add(TALB(encoding=0, text=t["album"]))
    tags.add(TCON(encoding=0, text="Rock"))
    tags.add(TDRC(encoding=0, text=t["year"]))
    tags.add(TRCK(encoding=0, text=str(i % 20 + 1)))
    tags.add(COMM(encoding=0, lang="eng", desc="ID3v1 Comment", text=t["comment"]))
    tags.save(path, v1=2, v2_version=3)
    delete(path, delete_v1=False, delete_v2=True)

def vorbis_fields(tags, i, style):
    t = texts(i)
    tags["TITLE"] = t["title"]
    tags["ARTIST"] = t["artist"]
    if style == "vorbis-albumartist":
        tags["ALBUMARTIST"] = "Various Artists"
    tags["ALBUM"] = t["album"]
    tags["GENRE"] = t["genre"].split(")")[-1] or "Rock"
    tags["DATE"] = t["year"]
    tags["COMMENT" if style == "vorbis-comment-key" else "DESCRIPTION"] = t["comment"]
    tags["TRACKNUMBER"] = t["track"]

def tag_flac(path, i, style):
    audio = FLAC(path)
    audio.clear()
    vorbis_fields(audio, i, style)
    picture = cover(i)
    if picture:
        image = Picture()
        image.type, image.mime, image.data = 3, "image/png", picture
        audio.add_picture(image)
    audio.save()

def tag_ogg(path, i):
    audio = OggVorbis(path)
    audio.clear()
    vorbis_fields(audio, i, "vorbis")
    audio.save()

def tag_ape(path, i):
    t = texts(i)
    tags = APEv2()
    for key, field in (("Title", "title"), ("Artist", "artist"), ("Album", "album"),
                       ("Genre", "genre"), ("Year", "year"), ("Comment", "comment"),
                       ("Track", "track")):
        tags[key] = t[field] if field != "genre" else t["genre"].split(")")[-1] or "Rock"
    tags.save(path)

def tag_wave(path, i):
    t = texts(i)
    audio = WAVE(path)
    audio.add_tags()
    audio.tags.add(TIT2(encoding=3, text=t["title"]))
    audio.tags.add(TPE1(encoding=3, text=t["artist"]))
    audio.save()

def apply(path, fmt, style, i):
    if style.startswith("id3v2"):
        version = 3 if style.startswith("id3v23") else 4
        encoding = {"utf16": 1, "utf8": 3, "latin1": 0, "utf16be": 2}[style.split("-")[1]]
        id3_tags(path, i, version, encoding, latin1=encoding == 0)
    elif style == "id3v1":
        id3v1_only(path, i)
    elif style.startswith("vorbis"):
        tag_flac(path, i, style) if fmt == "flac" else tag_ogg(path, i)
    elif style == "ape":
        tag_ape(path, i)
    elif style == "id3-chunk":
        tag_wave(path, i)

copies = {}

def style_for(master, fmt):
    if "tagged" in master or master.startswith("wavpack-mono"):
        return "encoder"  # keep the encoder's own tags
    styles = [s for s in STYLES[fmt] if s != "encoder"]
    copies[fmt] = copies.get(fmt, -1) + 1
    return styles[copies[fmt] % len(styles)]

for i in range(count):
    master = masters[i % len(masters)]
    fmt = master.rsplit(".", 1)[1]
    style = style_for(master, fmt)
    name = "%04d-%s" % (i, master)
    path = os.path.join(out_dir, name)
    shutil.copyfile(os.path.join(masters_dir, master), path)
    apply(path, fmt, style, i)
    print("%s\t%s\t%s" % (name, master, style))
PY

# Large files: long audio made by stream copy (fast, and valid to every reader), and a sparse
# WAVE of silence. Each is about 64 MiB, the WAVE 100 MiB.
large_bytes=$((64 * 1024 * 1024))
# copies FILE: how many copies of FILE make a large file.
copies() { echo $(((large_bytes + $(stat -c %s "$1") - 1) / $(stat -c %s "$1"))); }
# loop_copy SOURCE TARGET: SOURCE's stream repeated by ffmpeg up to the large size.
loop_copy() { ff -stream_loop $(($(copies "$1") - 1)) -i "$1" -c copy -y "$2"; }
make_large() {
    local index=$1 kind=$2 name
    name=large-$index
    case $kind in
    mp3) loop_copy "$masters/lame-cbr320-44100-tagged.mp3" "$out/audio/$name.mp3" ;;
    flac) # encoded whole: a stream copy would keep the short source's sample count
        ff -f lavfi -i "anoisesrc=r=44100:d=380" -ac 2 -c:a flac -compression_level 0 \
            -y "$out/audio/$name.flac" ;;
    wv) ff -f lavfi -i "anoisesrc=r=48000:d=10" -ac 2 -c:a wavpack -y "$work/noise.wv" &&
        loop_copy "$work/noise.wv" "$out/audio/$name.wv" ;;
    ogg) ff -f lavfi -i "anoisesrc=r=48000:d=10" -ac 2 -c:a libvorbis -q:a 10 -y "$work/noise.ogg" &&
        loop_copy "$work/noise.ogg" "$out/audio/$name.ogg" ;;
    ac3) for _ in $(seq "$(copies "$masters/ffmpeg-5.1-48000.ac3")"); do
        cat "$masters/ffmpeg-5.1-48000.ac3"; done >"$out/audio/$name.ac3" ;;
    wav) "$python" - "$out/audio/$name.wav" <<'PY'
import struct, sys
data = 100 * 1024 * 1024
rate, channels, bits = 44100, 2, 16
header = (b"RIFF" + struct.pack("<I", 36 + data) + b"WAVEfmt " +
          struct.pack("<IHHIIHH", 16, 1, channels, rate, rate * channels * bits // 8,
                      channels * bits // 8, bits) + b"data" + struct.pack("<I", data))
with open(sys.argv[1], "wb") as f:
    f.write(header)
    f.truncate(len(header) + data)  # a hole: silence that takes no disk space
PY
    ;;
    esac
    printf '%s\t%s\t%s\n' "$(basename "$out"/audio/"$name".*)" "large-$kind" none >>"$out/manifest.tsv"
}
kinds=(wav mp3 flac wv ogg ac3)
for ((k = 0; k < large; k++)); do make_large "$k" "${kinds[k % ${#kinds[@]}]}"; done

[ "$reference" = 1 ] || exit 0

# reference.tsv: file, sampling rate, channels (ffprobe), then title, artist, album, genre,
# year, comment, track, album artist as mutagen reads them.
cut -f1 "$out/manifest.tsv" | while IFS= read -r name; do
    printf '%s\t' "$name"
    ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels \
        -of csv=p=0 "$out/audio/$name" </dev/null 2>/dev/null | tr ',' '\t' | tr -d '\n'
    printf '\n'
done >"$work/streams.tsv"
"$python" - "$out/audio" "$work/streams.tsv" >"$out/reference.tsv" <<'PY'
import os, sys
import mutagen
from mutagen.apev2 import APEv2, APENoHeaderError
from mutagen.id3 import ID3, ID3NoHeaderError

folder, streams = sys.argv[1], sys.argv[2]

def clean(text):
    return text.replace("\t", " ").replace("\n", " ").replace("\r", " ")

def from_id3(tags):
    def text(key):
        return str(tags[key]) if key in tags else ""
    genres = tags["TCON"].genres if "TCON" in tags else []
    comments = tags.getall("COMM")
    plain = [c for c in comments if c.desc == ""] or \
            [c for c in comments if c.desc == "ID3v1 Comment"]
    return [text("TIT2"), text("TPE1"), text("TALB"), genres[0] if genres else "",
            text("TDRC"), str(plain[-1]) if plain else "", text("TRCK"), text("TPE2")]

def from_vorbis(tags):
    def first(key):
        values = tags.get(key) or []
        return values[0] if values else ""
    return [first("title"), first("artist"), first("album"), first("genre"), first("date"),
            first("description") or first("comment"), first("tracknumber"),
            first("albumartist")]

def from_ape(tags):
    def text(key):
        return str(tags[key]) if key in tags else ""
    return [text("Title"), text("Artist"), text("Album"), text("Genre"), text("Year"),
            text("Comment"), text("Track"), text("Album Artist")]

def tags_of(path):
    ext = path.rsplit(".", 1)[1]
    if ext in ("mp3",):
        try:
            return from_id3(ID3(path))
        except ID3NoHeaderError:
            return [""] * 8
    if ext in ("flac", "ogg"):
        audio = mutagen.File(path)
        return from_vorbis(audio.tags) if audio and audio.tags else [""] * 8
    if ext == "wv":
        try:
            return from_ape(APEv2(path))
        except APENoHeaderError:
            return [""] * 8
    if ext == "wav":
        audio = mutagen.File(path)
        return from_id3(audio.tags) if audio and audio.tags else [""] * 8
    return [""] * 8

for line in open(streams, encoding="utf-8"):
    name, rate, channels = line.rstrip("\n").split("\t")[:3]
    row = [name, rate, channels] + tags_of(os.path.join(folder, name))
    print("\t".join(clean(field) for field in row))
PY
