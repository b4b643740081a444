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
    # The m3u and pls lists the engine tests hand to mpv, as text lists.
    seed $t hostile-m3u '#EXTM3U\n/m/first.wav\nav://lavfi:sine=frequency=1000:duration=7\nlavfi://sine\nedl:///m/first.wav,0,0.7\nmemory://RIFF\nfd://0\nhex://52494646\nslice://0-1000@/m/first.wav\nffmpeg://file:/m/first.wav\nytdl://abc\nfile://otherhost/m/first.wav\n/m/second.wav\n'
    seed $t hostile-pls '[playlist]\nFile1=/m/first.wav\nFile2=lavfi://sine\nNumberOfEntries=2\n'
    seed $t odd-names '"/m/say "hi" & <b>, x.mp3"\r\n"/m/-x.wav"\r\n"/m/x#y.wav"\r\n"C:\\Music\\song.mp3"\r\n'

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
    # The hostile lists the tests feed the reader and the engine.
    seed $t asx-mixed-case '<Asx Version="3.0"><ENTRY><Ref Href="lavfi://sine"/><REF HREF="http://h/a?x=1&y=2"/><ref href="http://h/alternative"/></ENTRY><Repeat COUNT="2"><Entry><!-- <Ref href="/m/comment.mp3"/> --><ref HREF="/m/R.MP3"/></Entry></Repeat><EntryRef HREF="http://h/more.asx"/><entry><ref href=""/></entry></ASX>'
    seed $t stray-media '<smil><media src="/m/stray.mp3"/><body><seq><MEDIA SRC="/m/in.mp3"/></seq></body></smil>'
    seed $t entity-refs '<?wpl version="1.0"?>\n<smil><head><title>t</title></head><body><seq>\n<media src="/m/Tom &amp; Jerry &#233;&#x263A;.mp3"/>\n<media src="  /m/b.ogg\n"/>\n</seq></body></smil>\n'
    seed $t relative-and-windows '<?wpl version="1.0"?>\n<smil><body><seq>\n<media src="a.mp3"/>\n<media src="sub/b.mp3"/>\n<media src="..\\Music\\c d.mp3"/>\n<media src="sub\\e.mp3"/>\n<media src="file:///m/f%%20g.mp3"/>\n<media src="file://localhost/m/h.mp3"/>\n<media src="Live: intro.mp3"/>\n<media src="-j.mp3"/>\n<media src="C:\\Music\\k.mp3"/>\n<media src="\\\\server\\share\\l.mp3"/>\n<media src="file://server/m.mp3"/>\n</seq></body></smil>\n'
    seed $t refused-sources '<?wpl version="1.0"?>\n<smil><body><seq>\n<media src="/m/first.wav"/>\n<media src="av://lavfi:sine=frequency=1000:duration=7"/>\n<media src="lavfi://sine"/>\n<media src="edl:///m/first.wav,0,0.7"/>\n<media src="memory://RIFF"/>\n<media src="fd://0"/>\n<media src="fdclose://0"/>\n<media src="mf:///m/first.wav"/>\n<media src="hex://52494646"/>\n<media src="slice://0-1000@/m/first.wav"/>\n<media src="subfile:///m/first.wav"/>\n<media src="null://"/>\n<media src="dvd://"/>\n<media src="bd://"/>\n<media src="cdda://"/>\n<media src="ffmpeg://file:/m/first.wav"/>\n<media src="lavf://file:/m/first.wav"/>\n<media src="ytdl://abc"/>\n<media src="file://otherhost/m/first.wav"/>\n<media src="http://127.0.0.1:9/watch?v=abcdefghijk"/>\n<media src="-x.wav"/>\n<media src="a:b.wav"/>\n<media src="x#y.wav"/>\n<media src="lavfi:foo"/>\n<media src="edl:x.wav"/>\n<media src="/m/second.wav"/>\n</seq></body></smil>\n'
    seed $t asx-skipped '<ASX version="3.0"><Entry><Ref href="av://lavfi:sine"/></Entry><Entry><Ref href="first.wav"/></Entry><Entry><Ref href="edl:///m/first.wav"/></Entry><Entry><Ref href="file:///m/second.wav"/></Entry></ASX>\n'
    seed $t only-refused '<?wpl version="1.0"?><smil><body><seq><media src="fd://0"/></seq></body></smil>\n'
    seed $t external-entity '<?xml version="1.0"?>\n<!DOCTYPE smil [\n<!ENTITY secret SYSTEM "file:///etc/passwd">]>\n<smil><body><seq><media src="&secret;"/></seq></body></smil>'
    seed $t parameter-entity '<!DOCTYPE smil [<!ENTITY %% p SYSTEM "http://h/x.dtd"> %%p;]><smil/>'
    seed $t plain-doctype '<!DOCTYPE smil><smil><body><seq><media src="/a"/></seq></body></smil>'
    seed $t cut '<asx>\n<entry><ref href="/m/a.mp3"/></entry>\n<entry><ref hr'
    seed $t html-page '<html><body>Not found</body></html>'
    seed $t unclosed '<asx><entry><ref href="/a"/></asx>'
    seed $t utf8-as-cp1252 "<?xml version='1.0' encoding='cp1252'?><asx><entry><ref href=\"/m/\xc3\xa9\"/></entry></asx>"
    seed $t made-up-encoding '<?xml version="1.0" encoding="x-made-up"?><asx><entry><ref href="/m/Caf\xe9 \x80.mp3"/></entry></asx>'
    seed $t utf16-declared-ansi '<?xml version="1.0" encoding="UTF-16"?><asx><entry><ref href="/m/Caf\xe9 \x80.mp3"/></entry></asx>'
    seed $t latin1-declared '<?xml version="1.0" encoding="ISO-8859-1"?><asx><entry><ref href="/m/Caf\xe9 \x80.mp3"/></entry></asx>'
    {
        printf '<?xml version="1.0"?>\n<!DOCTYPE asx [\n<!ENTITY lol "lol">\n'
        local level i
        for level in 1 2 3 4 5 6 7 8 9 10; do
            printf '<!ENTITY lol%d "' "$level"
            for i in 1 2 3 4 5 6 7 8 9 10; do
                if [ "$level" -gt 1 ]; then printf '&lol%d;' $((level - 1)); else printf '&lol;'; fi
            done
            printf '">\n'
        done
        printf ']>\n<asx><entry><ref href="&lol10;"/></entry></asx>\n'
    } >"$build/fuzz-seeds/$t/billion-laughs"
    {
        printf '<asx>'
        for i in $(seq 5000); do printf '<entry>'; done
        printf '</asx>'
    } >"$build/fuzz-seeds/$t/deep-nesting"

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
