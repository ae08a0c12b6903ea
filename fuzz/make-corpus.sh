#!/usr/bin/env bash
# Rebuilds the seed corpora under fuzz/corpus/ from the test fixtures, the sample files and a few
# files made here. Large files are cut to their first 4 KiB and last 1 KiB: the parsers read
# only headers and tags, and small seeds keep the fuzzer fast.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus="$root/fuzz/corpus"
rm -rf "$corpus"
mkdir -p "$corpus"/{fuzz_analyse,fuzz_tags,fuzz_flac,fuzz_registry_hive,fuzz_tag_writer}

# The selector byte of fuzz_analyse: the index of the name; 0x80 serves the bytes from disk.
declare -A selector=([ac3]=0 [mp3]=1 [dts]=2 [ogg]=3 [flac]=4 [wav]=5 [pcm]=6 [ape]=7 [wv]=8)
ImageSelector=9

# head and tail of a file, whole when it is small
shrink() {
  local size
  size=$(stat -c %s "$1")
  if ((size <= 8192)); then
    cat "$1"
  else
    head -c 4096 "$1"
    tail -c 1024 "$1"
  fi
}

seed() { # target name selector-byte-or-empty file...
  local target=$1 name=$2 byte=$3
  shift 3
  {
    [[ -n $byte ]] && printf "\\x$(printf %02x "$byte")"
    cat "$@"
  } >"$corpus/$target/$name"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"; }
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
zeros() { head -c "$1" /dev/zero; }

# An APE tag with a header and the items Title and Artist.
ape_tag() {
  local items
  items=$({ le32 4; le32 0; printf 'Title\0Song'; le32 6; le32 0; printf 'Artist\0Singer'; } | base64 -w0)
  local size=$(($(printf %s "$items" | base64 -d | wc -c) + 32))
  printf APETAGEX; le32 2000; le32 "$size"; le32 2; le32 $((1 << 31 | 1 << 29)); zeros 8
  printf %s "$items" | base64 -d
  printf APETAGEX; le32 2000; le32 "$size"; le32 2; le32 $((1 << 31)); zeros 8
}

# Monkey's Audio: a new header (3.99) and an old one (3.97), both with an APE tag.
{
  printf 'MAC '; le16 3990; zeros 46
  le16 2000; le16 0; le32 294912; le32 253872; le32 45; le16 16; le16 2; le32 44100
  zeros 200; ape_tag
} >"$work/new.ape"
{
  printf 'MAC '; le16 3970; le16 2000; le16 0; le16 2; le32 44100; le32 0; le32 0
  le32 45; le32 253872; zeros 200; ape_tag
} >"$work/old.ape"
# A disc image with a WavPack block behind 600 zero bytes.
{ zeros 600; head -c 2048 "$root/tests/fixtures/wavpack/true16-44100.wv"; } >"$work/image.iso.wv"
# An MPEG-1 Layer III frame with a Xing header, and an ID3v1 tag at the end.
{
  printf '\xFF\xFB\x90\x64'; zeros 32; printf 'Xing'; le32 $((0x0F << 24))
  printf '\x00\x00\x27\x10\x00\x3D\x09\x00'; zeros 400
  printf 'TAG%-30s%-30s%-30s1999%-30s\x11' Title Artist Album Comment
} >"$work/xing.mp3"
# A plain WAVE header with an 18-byte fmt chunk.
{
  printf RIFF; le32 1000; printf 'WAVEfmt '; le32 18; le16 1; le16 2; le32 44100; le32 176400
  le16 4; le16 16; le16 0; printf data; le32 200; zeros 200
} >"$work/fmt18.wav"

for file in "$root"/tests/fixtures/*/*.{ac3,dts,flac,mp3,ogg,wv} "$root"/samples/*; do
  [[ -f $file ]] || continue
  ext=${file##*.}
  [[ -n ${selector[$ext]:-} ]] || continue
  shrink "$file" >"$work/shrunk"
  seed fuzz_analyse "$(basename "$file")" "${selector[$ext]}" "$work/shrunk"
done
for file in "$work"/new.ape "$work"/old.ape "$work"/xing.mp3 "$work"/fmt18.wav; do
  ext=${file##*.}
  seed fuzz_analyse "$(basename "$file")" "${selector[$ext]}" "$file"
done
seed fuzz_analyse fmt18.pcm "${selector[pcm]}" "$work/fmt18.wav"
seed fuzz_analyse image.iso.wv "$ImageSelector" "$work/image.iso.wv"
# Every input that once broke an analysis.
for file in "$root"/tests/fixtures/regressions/*; do
  [[ -f $file ]] || continue
  name=$(basename "$file")
  if [[ $name == *iso.wv ]]; then byte=$ImageSelector; else byte=${selector[${name##*.}]:-}; fi
  [[ -n $byte ]] && seed fuzz_analyse "regression-$name" "$byte" "$file"
done
# The same bytes through a real file descriptor.
seed fuzz_analyse disk-xing.mp3 $((0x80 | ${selector[mp3]})) "$work/xing.mp3"
seed fuzz_analyse disk-new.ape $((0x80 | ${selector[ape]})) "$work/new.ape"

# Tag readers: the ID3v2 tags of the MP3 fixtures, an ID3v1 tag, APE tags. The first byte
# picks the code page.
index=0
for file in "$root"/tests/fixtures/mp3/*.mp3 "$root"/samples/*.mp3; do
  head -c 3072 "$file" >"$work/head"
  seed fuzz_tags "$(basename "$file")" $((index++ % 8)) "$work/head"
done
seed fuzz_tags id3v1.mp3 2 "$work/xing.mp3"
seed fuzz_tags ape-header.ape 0 "$work/new.ape"
tail -c 100 "$work/new.ape" >"$work/footer-only"
seed fuzz_tags ape-footer-only.ape 5 "$work/footer-only"

# Tag writer: old files with tags of versions 2.3 and 2.4, and one without a tag. The first
# byte picks the Unicode form (odd) or the 8-bit form and the code page.
index=0
for file in "$root"/tests/fixtures/mp3/*.mp3 "$root"/samples/*.mp3; do
  head -c 4000 "$file" >"$work/head"
  seed fuzz_tag_writer "$(basename "$file")" $((index++ % 10)) "$work/head"
done
seed fuzz_tag_writer no-tag.mp3 1 <(head -c 1000 "$work/xing.mp3")

# FLAC: the metadata blocks at the start of each fixture.
for file in "$root"/tests/fixtures/flac/*.flac "$root"/samples/*.flac; do
  seed fuzz_flac "$(basename "$file")" "" <(head -c 6144 "$file")
done

# Registry hives in their text form.
printf '; HKEY_CURRENT_USER\n\n[Software\\Orvane\\Sonoprobe\\Settings]\n"FontSize"=dword:0000000a\n"Console delimiter"="\\r\\n"\n@="default"\n' \
  >"$corpus/fuzz_registry_hive/settings.reg"
printf '\xEF\xBB\xBF[CLSID\\{1B6C3A2E-0000-4000-8000-000000000001}\\InprocServer32]\n@="/opt/sono/libSonoprobeCtrl.so"\n"ThreadingModel"="Apartment"\n[a\\b]\n"x"="\\u00e9\\uD83D\\uDE00 \\\\ \\""\n' \
  >"$corpus/fuzz_registry_hive/classes.reg"
printf '[K]\n"a"=dword:ffffffff\r\n"b" = "t\\tab"\n# note\n[bad\n"c"=dword:\n' \
  >"$corpus/fuzz_registry_hive/damaged.reg"

du -sh "$corpus"/*
