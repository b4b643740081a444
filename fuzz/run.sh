#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one for a while.
#
#   bash fuzz/run.sh [seconds per target, default 60] [target...]
#
# Targets: fuzz_playlisttext fuzz_xmlplaylist fuzz_filtertext fuzz_midisong
# (all by default).
# Each starts from a seed corpus written here, the inputs it found in earlier
# runs (kept in the build folder) and the cases in fuzz/regressions/<target>/,
# which are first replayed one by one. A crash, a broken promise, a leak, a
# hang of more than 10 s or more than 2 GB of memory fails the run; the input
# is saved under <build>/fuzz-artifacts/ and its path printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_playlisttext fuzz_xmlplaylist fuzz_filtertext fuzz_midisong)

cxx=${FUZZ_CXX:-$(command -v clang++-14 || command -v clang++ || true)}
if [ -z "$cxx" ]; then
    echo "fuzz: clang++ not found (bash scripts/setup.sh installs it)" >&2
    exit 1
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" -DCORVEL_FUZZ=ON \
    -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target corvel-fuzzers
for target in "${targets[@]}"; do
    if [ ! -x "$build/fuzz/$target" ]; then
        echo "fuzz: $target was not built (see the warnings of the configure step)" >&2
        exit 1
    fi
done

# --- Seed corpus: small, valid and nearly valid inputs of each reader. -------

# seed <target> <name> <bytes as a printf format, for \xNN and \0>
seed() {
    # shellcheck disable=SC2059
    printf "$3" >"$build/fuzz-seeds/$1/$2"
}

write_seeds() {
    rm -rf "$build/fuzz-seeds"
    mkdir -p "$build/fuzz-seeds"/{fuzz_playlisttext,fuzz_xmlplaylist,fuzz_filtertext,fuzz_midisong}

    local t=fuzz_playlisttext
    seed $t saved '"/home/ann/Music/one.mp3"\r\n"/home/ann/Videos/two, three.mp4"\r\n'
    seed $t unix-lines '"/a.mp3"\n"/b.ogg"\n'
    seed $t mac-lines '"/a.mp3"\r"/b.ogg"\r'
    seed $t unquoted '  /a.mp3 , /b.mp3,,\n\n /c d.mp3  \n'
    seed $t unclosed '"/a.mp3\r\n"/b.mp3" trailing, "/c.mp3"\r\n'
    seed $t empty-quoted '""\r\n""\r\n'
    seed $t utf8-bom '\xef\xbb\xbf"/m\xc3\xbasica/\xe6\x97\xa5\xe6\x9c\xac.mp3"\r\n'
    seed $t utf16le '\xff\xfe"\0/\0a\0.\0m\0p\0\063\0"\0\r\0\n\0'
    seed $t utf16be '\xfe\xff\0"\0/\0a\0.\0m\0p\0\063\0"\0\r\0\n'
    seed $t windows-1252 '"C:\\M\xfcsik\\\x80 caf\xe9.mp3"\r\n'
    seed $t nul-and-tabs '"\t/a\0b.mp3\t"\r\n\t\t\r\n'
    : >"$build/fuzz-seeds/$t/empty"

    t=fuzz_xmlplaylist
    seed $t wpl '<?wpl version="1.0"?>\n<smil>\n<head><title>Mix</title></head>\n<body>\n<seq>\n<media src="/music/a.mp3"/>\n<media src="..\\b.wma"/>\n<media src="http://radio.example/live"/>\n</seq>\n</body>\n</smil>\n'
    seed $t asx '<ASX version="3.0">\n<Title>Shows</Title>\n<Entry><Ref href="lavfi://sine"/><Ref href="mms://media.example/show.wmv?a=1&b=2"/></Entry>\n<Entry><REF HREF="file:///tmp/x.wmv"/></Entry>\n<EntryRef href="http://example/other.asx"/>\n</asx>\n'
    seed $t asx-bom-utf16 '\xff\xfe<\0a\0s\0x\0>\0<\0e\0n\0t\0r\0y\0>\0<\0r\0e\0f\0 \0h\0r\0e\0f\0=\0"\0a\0.\0m\0p\0\063\0"\0/\0>\0<\0/\0e\0n\0t\0r\0y\0>\0<\0/\0a\0s\0x\0>\0'
    seed $t utf16-no-bom '<\0?\0x\0m\0l\0 \0v\0e\0r\0s\0i\0o\0n\0=\0"\x001\0.\x000\0"\0?\0>\0<\0s\0m\0i\0l\0/\0>\0'
    seed $t declared-1252 '<?xml version="1.0" encoding="windows-1252"?><smil><body><seq><media src="caf\xe9.mp3"/></seq></body></smil>'
    seed $t declared-koi8 '<?xml version="1.0" encoding="koi8-r"?><smil><body><seq><media src="\xf0\xe5\xf3\xee\xd1.mp3"/></seq></body></smil>'
    seed $t entities '<?xml version="1.0"?><!DOCTYPE smil [<!ENTITY a "aaaa"><!ENTITY b "&a;&a;&a;">]><smil><body><seq><media src="&b;"/></seq></body></smil>'
    seed $t cdata-comment '<smil><!-- <media src="x"/> --><body><seq><![CDATA[<media>]]><media src=" /a b.mp3 "/><media src=""/><media src="C:\\x.mp3"/><media src="\\\\host\\share\\y.mp3"/></seq></body></smil>'
    seed $t deep '<asx><a><b><c><d><e><f><g><h><entry><ref href="/z.mp3"/></entry></h></g></f></e></d></c></b></a></asx>'
    seed $t not-a-list '<html><body>not a play list</body></html>'
    seed $t broken '<smil><body><seq><media src="/a.mp3"></seq>'

    t=fuzz_filtertext
    seed $t open-command 'Media file (*.mp3;*.mp4)|*.mp3;*.mp4|MPEG-2 TS Video file (*.m2ts;*.ts)| *.m2ts;*.ts|Windows audio file (wav)(*.wav;*.mp3)|*.wav;*.mp3|All File (*.*)|*.*|'
    seed $t one-pair 'Text File (*.txt)|*.txt|'
    seed $t no-bar '*.txt'
    seed $t no-closing-bar 'Default|PlayList1.wpl|Media|*.asx;*.wpl'
    seed $t empty-fields '||| ; ;|x||'
    seed $t unicode 'M\xc3\xbasica (*.m\xc3\xbc)|*.m\xc3\xbc; *.[ab]?|'

    # Standard MIDI Files, bare and in an RMID file: a header, then tracks
    # of delta-timed events.
    t=fuzz_midisong
    seed $t format0 'MThd\0\0\0\6\0\0\0\1\0`MTrk\0\0\0\26\0\300\0\0\220<@`\200<\0\0\220@@`@\0\0\377/\0'
    seed $t running-status 'MThd\0\0\0\6\0\0\0\1\0`MTrk\0\0\0\22\0\220<@\0@@\201\0<\0\0@\0\0\377/\0'
    seed $t format1-tempo 'MThd\0\0\0\6\0\1\0\2\1\340MTrk\0\0\0\23\0\377Q\3\7\241 \203`\377Q\3\3\320\220\0\377/\0MTrk\0\0\0\20\0\301(\0\221<@\203`\201<\0\0\377/\0'
    seed $t smpte 'MThd\0\0\0\6\0\0\0\1\347(MTrk\0\0\0\26\0\300\0\0\220<@`\200<\0\0\220@@`@\0\0\377/\0'
    seed $t sysex-and-meta 'MThd\0\0\0\6\0\0\0\1\0`MTrk\0\0\0\32\0\360\5~\177\11\1\367\0\377\3\2ab\0\220<@`\200<\0\0\377/\0'
    seed $t cut 'MThd\0\0\0\6\0\0\0\1\0`MTrk\0\0\0\26\0\300'
    seed $t rmid 'RIFF8\0\0\0RMIDdata,\0\0\0MThd\0\0\0\6\0\0\0\1\0`MTrk\0\0\0\26\0\300\0\0\220<@`\200<\0\0\220@@`@\0\0\377/\0'
}

# libFuzzer's dictionary for the XML reader: the words of the two formats.
write_xml_dictionary() {
    cat >"$build/fuzz-seeds/xml.dict" <<'EOF'
"<?xml version=\"1.0\"?>"
"<?wpl version=\"1.0\"?>"
" encoding=\"utf-8\""
" encoding=\"windows-1252\""
" encoding=\"utf-16\""
"<smil>"
"</smil>"
"<body>"
"<seq>"
"</seq>"
"<media src=\""
"<asx version=\"3.0\">"
"</asx>"
"<entry>"
"</entry>"
"<ref href=\""
"<entryref href=\""
"\"/>"
"<!DOCTYPE"
"<!ENTITY"
"<![CDATA["
"]]>"
"<!--"
"-->"
"&amp;"
"&#x0;"
"file://"
"file://localhost/"
"http://"
"mms://"
"rtsp://"
"lavfi://"
"\\\\"
"C:\\"
EOF
}

write_seeds
write_xml_dictionary

# --- Runs ---------------------------------------------------------------------

failed=()
for target in "${targets[@]}"; do
    exe=$build/fuzz/$target
    corpus=$build/fuzz-corpus/$target
    artifacts=$build/fuzz-artifacts/$target
    regressions=$root/fuzz/regressions/$target
    log=$build/fuzz-logs/$target.log
    mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
    options=(-timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1
        "-artifact_prefix=$artifacts/")
    [ "$target" = fuzz_xmlplaylist ] && options+=("-dict=$build/fuzz-seeds/xml.dict")

    dirs=("$corpus" "$build/fuzz-seeds/$target")
    if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
        # Each kept case on its own first, so a regression names its file.
        if ! "$exe" "${options[@]}" "$regressions"/* >"$log" 2>&1; then
            echo "fuzz: $target fails a kept case in $regressions:" >&2
            tail -n 40 "$log" >&2
            failed+=("$target")
            continue
        fi
        dirs+=("$regressions")
    fi

    if "$exe" "${options[@]}" -max_total_time="$seconds" "${dirs[@]}" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz: $target: ${runs:-?} inputs in ${seconds} s, corpus $(find "$corpus" -type f | wc -l) files"
    else
        echo "fuzz: $target FAILED; the input is in $artifacts:" >&2
        grep -E "ERROR|broken promise|SUMMARY|Test unit written|runtime error" "$log" >&2 || true
        tail -n 60 "$log" >&2
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: failed: ${failed[*]} (logs in $build/fuzz-logs)" >&2
    exit 1
fi
