#!/usr/bin/env bash
# zimbelplot-serve as a process on a free port of 127.0.0.1: the page and
# pictures against the exporter's bytes, hostile requests, a full queue,
# SIGTERM during requests, and two instances behind nginx with one killed.
# make test-serve runs it; ZIMBEL_SERVE_TREE names the build tree (the
# optimised one by default), ONLY=GROUP runs one group of checks.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tests/serve/serve-lib.sh

# status URL [curl options]: the status code alone.
status() { curl -s -o /dev/null -w '%{http_code}' --path-as-is "${@:2}" "$1"; }
expectStatus() {  # want URL [curl options]
  local got
  got=$(status "${@:2}")
  [ "$got" = "$1" ] || fail "$2 ${*:3}: $got, not $1"
}
header() {  # URL NAME [curl options]
  curl -s -D - -o /dev/null "${@:3}" "$1" | tr -d '\r' | awk -v name="$2" 'tolower($0) ~ "^" tolower(name) ": " { sub(/^[^:]*: /, ""); print; exit }'
}
healthy() { expectStatus 200 "${1}healthz"; }

# What a raw request gets: the status line's code, or "closed" when the
# server hung up without answering.
raw() {  # PORT REQUEST
  exec 3<>"/dev/tcp/127.0.0.1/$1"
  printf '%s' "$2" >&3 2>/dev/null || true
  local line
  line=$(timeout 10 head -1 <&3 2>/dev/null | tr -d '\r') || true
  exec 3>&-
  [ -n "$line" ] && echo "$line" | cut -d' ' -f2 || echo closed
}

# Every status line a raw request gets before the server closes, in one line.
rawAnswers() {  # PORT REQUEST
  exec 3<>"/dev/tcp/127.0.0.1/$1"
  printf '%b' "$2" >&3 2>/dev/null || true
  timeout 5 cat <&3 2>/dev/null | tr -d '\r' | awk '/^HTTP\// { printf "%s%s", n++ ? " " : "", $2 }' || true
  exec 3>&-
}

# What a client that writes its whole request before it reads gets: the
# status line's code, then "end" when the server closed in order, "reset"
# when the kernel threw the answer's end away, "open" when it never closed.
# The whole answer is left in $work/sent.answer.
sentFirst() {  # PORT REQUEST
  local ended=end answer
  exec 3<>"/dev/tcp/127.0.0.1/$1"
  printf '%s' "$2" >&3 2>/dev/null || ended=reset
  answer=$(timeout 5 cat <&3 2>/dev/null) || { (($? == 124)) && ended=open || ended=reset; }
  exec 3>&-
  printf '%s\n' "$answer" >"$work/sent.answer"
  echo "$(head -1 <<<"$answer" | cut -d' ' -f2) $ended"
}

pageAndPictures() {
  startServer main
  local url=$url_main
  cmp <(curl -s "$url") "$pageRoot/index.html" || fail "/ is not the page"
  cmp <(curl -s "${url}zimbelplot.wasm") "$pageRoot/zimbelplot.wasm" || fail "the wasm differs"
  [ "$(header "${url}zimbelplot.wasm" Content-Type)" = application/wasm ] || fail "wasm type"
  [[ $(header "$url" Content-Security-Policy) == *"script-src 'self' 'wasm-unsafe-eval'"* ]] || fail "no page policy"
  seq 1 512 | awk '{ printf "%.3f\n", 40 * sin($1 / 7) }' >"$work/long.txt"
  local options input link
  for options in "|examples/wave.txt" "--auto-ratio --background #FFFFFF --line-style dash --point-kind square|$work/long.txt"; do
    input=${options#*|}
    options=(${options%|*})
    link=$("$exporter" --format link "${options[@]}" "$input")
    "$exporter" "${options[@]}" "$input" -o "$work/want.png"
    "$exporter" "${options[@]}" "$input" -o "$work/want.svg"
    curl -s -o "$work/got.png" "$url$link.png"
    curl -s -o "$work/got.svg" "$url$link.svg"
    cmp "$work/want.png" "$work/got.png" || fail "the PNG of $link is not the exporter's"
    cmp "$work/want.svg" "$work/got.svg" || fail "the SVG of $link is not the exporter's"
    # The looks of the first graph: 512 values at @3x are past --max-pixels.
    [ "$input" = examples/wave.txt ] || continue
    local look etags= etag
    for look in "@2x|--scale 2" "@3x|--scale 3" "-dark|--scheme dark" "@2x-dark|--scale 2 --scheme dark"; do
      "$exporter" "${options[@]}" ${look#*|} "$input" -o "$work/want.png"
      curl -s -D "$work/drawn.txt" -o "$work/got.png" "$url$link${look%%|*}.png"
      cmp "$work/want.png" "$work/got.png" || fail "the PNG at ${look%%|*} is not the exporter's ${look#*|}"
      etag=$(header "$url$link${look%%|*}.png" ETag)
      etags+="$etag "
      # Drawn, then kept: one tag.
      tr -d '\r' <"$work/drawn.txt" | grep -qixF "ETag: $etag" || fail "the kept ${look%%|*} has another ETag than the drawn: $etag"
    done
    etags+=$(header "$url$link.png" ETag)
    [ "$(tr ' ' '\n' <<<"$etags" | sort -u | wc -l)" = 5 ] || fail "ETags not one a look: $etags"
  done
  # Every picture a snippet names is there, of its type.
  local address
  for address in $( ("$exporter" --format html --server "$url" examples/three.txt
                     "$exporter" --format markdown --server "$url" examples/three.txt) |
                   grep -oE 'http[^" ,)]+' | sed 's/&amp;/\&/g'); do
    expectStatus 200 "$address"
    [[ $(header "$address" Content-Type) == image/${address##*.}* ]] || fail "$address: not an image of its type"
  done
  local picture="$url$link.png" etag
  [ "$(header "$picture" Content-Type)" = image/png ] || fail "picture type"
  [ "$(header "$picture" Access-Control-Allow-Origin)" = "*" ] || fail "no CORS"
  [ "$(header "$picture" X-Content-Type-Options)" = nosniff ] || fail "no nosniff"
  [ "$(header "$picture" Cache-Control)" = "public, max-age=86400" ] || fail "cache control"
  etag=$(header "$picture" ETag)
  [[ $etag == \"*\" ]] || fail "ETag $etag"
  [ "$(header "$picture" Content-Length -I)" = "$(stat -c %s "$work/want.png")" ] || fail "HEAD's length"
  [ -z "$(curl -s -I "$picture" | sed '1,/^\r$/d')" ] || fail "HEAD has a body"
  expectStatus 304 "$picture" -H "If-None-Match: \"x\", W/$etag"
  expectStatus 200 "$picture" -H 'If-None-Match: "other"'
  [ "$(header "${url}app.js" Cache-Control)" = no-cache ] || fail "the page's files are not revalidated"
  expectStatus 304 "${url}app.js" -H "If-None-Match: $(header "${url}app.js" ETag)"
  waitFor "grep -q '\"GET /app.js HTTP/1.1\" 304 -\$' '$work/main.log'" 20 || fail "no common log line"
}

# A tag's content in the page $1: tag $2 by its property or name.
meta() { grep -oE "<meta (property|name)=\"$2\" content=\"[^\"]*\">" <<<"$1" | sed 's/.*content="//; s/">$//'; }
# A PNG's width and height from its header.
pngSize() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%d %d", $3 * 256 + $4, $7 * 256 + $8 }'; }

# A link's own address: the page, with the graph's tags (escaped), whose
# picture is the PNG at twice the size; the host it names is the request's
# only when it is a host, a front's where one says so; a bad link is a 4xx.
sharedPage() {
  startServer shared
  local url=$url_shared link page want
  link=$("$exporter" --format link examples/wave.txt)
  page=$(curl -s "$url$link")
  grep -q '<script src="app.js"></script>' <<<"$page" || fail "the link's page is not the page"
  [ "$(header "$url$link" Content-Security-Policy)" = "$(header "$url" Content-Security-Policy)" ] ||
    fail "the link's page has another policy than the page"
  want=$("$exporter" --format markdown examples/wave.txt | sed 's/^!\[\(.*\)\](.*$/\1/')
  [ "$(meta "$page" og:title)" = "$want" ] && [ "$(meta "$page" og:description)" = "$want" ] ||
    fail "og:title and og:description are not the text alternative: $(meta "$page" og:title)"
  [ "$(meta "$page" twitter:card)" = summary_large_image ] || fail "no large card"
  local image=${url}${link//&/\&amp;}@2x.png
  [ "$(meta "$page" og:image)" = "$image" ] || fail "og:image is $(meta "$page" og:image | head -c 80)"
  curl -s -o "$work/shared.png" "${image//&amp;/\&}"
  "$exporter" --scale 2 examples/wave.txt -o "$work/want.png"
  cmp "$work/want.png" "$work/shared.png" || fail "og:image is not the exporter's PNG at --scale 2"
  "$exporter" examples/wave.txt -o "$work/one.png"
  read -r width height <<<"$(pngSize "$work/one.png")"
  [ "$(pngSize "$work/shared.png")" = "$((2 * width)) $((2 * height))" ] &&
    [ "$(meta "$page" og:image:width) $(meta "$page" og:image:height)" = "$((2 * width)) $((2 * height))" ] ||
    fail "og:image is $(pngSize "$work/shared.png"), its tags say $(meta "$page" og:image:width) x $(meta "$page" og:image:height)"
  local etag
  etag=$(header "$url$link" ETag)
  expectStatus 304 "$url$link" -H "If-None-Match: $etag"
  [ "$(header "$url$link" ETag -H 'Host: other.example')" != "$etag" ] || fail "one tag for two hosts' pages"
  # Hosts no page may name: the picture is then named beside the page.
  local host
  while IFS= read -r host; do
    page=$(curl -s "$url$link" -H "Host: $host")
    [ "$(meta "$page" og:image)" = "${link//&/\&amp;}@2x.png" ] || fail "Host $host: og:image $(meta "$page" og:image | head -c 80)"
    [ -z "$(meta "$page" og:url)" ] || fail "Host $host: an og:url"
    grep -qE 'onload|evil|<b>' <<<"$page" && fail "Host $host is in the page"
  done <<'LIST'
x" onload="alert(1)
evil.example/<b>
evil.example:99999
evil.example:80:80
user@evil.example
-evil.example
[::1
LIST
  page=$(curl -s --http1.0 -H 'Host:' "$url$link")
  [ "$(meta "$page" og:image)" = "${link//&/\&amp;}@2x.png" ] || fail "no Host: og:image $(meta "$page" og:image | head -c 80)"
  page=$(curl -s "$url$link" -H 'Host: [::1]:8016')
  [ "$(meta "$page" og:image)" = "http://[::1]:8016/${link//&/\&amp;}@2x.png" ] || fail "an IPv6 host"
  page=$(curl -s "$url$link" -H 'X-Forwarded-Host: front.example' -H 'X-Forwarded-Proto: https')
  [ "$(meta "$page" og:url)" = "https://front.example/${link//&/\&amp;}" ] || fail "a front's host: $(meta "$page" og:url | head -c 80)"
  # Too large at twice the size: the picture at its own.
  link=$("$exporter" --format link --width 20000 --height 40 examples/three.txt)
  [ "$(meta "$(curl -s "$url$link")" og:image)" = "${url}${link//&/\&amp;}.png" ] || fail "a wide graph's og:image"
  link=$("$exporter" --format link examples/wave.txt)
  expectStatus 400 "$url${link:0:${#link}-3}"
  expectStatus 400 "$url${link/&c=/&c=0}"
  expectStatus 400 "$url${link}/"
  expectStatus 404 "$url${link:1}"
}

hostile() {
  startServer hostile --timeout 1 --max-pixels 1000000
  local url=$url_hostile port=${url_hostile##*:}
  port=${port%/}
  local link cut big wide mid path
  link=$("$exporter" --format link examples/three.txt)
  cut=${link:0:${#link}-3}
  big=$("$exporter" --format link --width 2000 --height 1000 examples/three.txt)
  wide=$("$exporter" --format link --point-interval 9999 --height 1 examples/wave.txt)
  mid=$("$exporter" --format link --width 600 --height 600 examples/three.txt)
  while IFS='|' read -r want path; do
    expectStatus "$want" "$url${path#/}"
    [ "$(curl -s --path-as-is "$url${path#/}" | wc -l)" -le 1 ] || fail "$path: more than one line"
    healthy "$url"
  done <<LIST
400|/$cut.png
400|/${link/v=/v=A}.png
400|/${link/&c=/&c=0}.svg
400|/z1&line-width=3&v=Gl6yDj&c=00000000.png
404|/$link.gif
404|/$link@4x.png
404|/$link@1x.png
404|/$link@0x-dark.png
400|/$link@2x.svg
400|/$link-dark.svg
422|/$mid@2x.png
404|/x$link.png
422|/$big.png
422|/$wide.png
404|/../../../../etc/passwd
404|/%2e%2e/%2e%2e/etc/passwd
404|/%2E%2E%2F%2E%2E%2Fetc%2Fpasswd
404|/..%252f..%252fetc%252fpasswd
400|/index.html%00.png
400|/%0d%0aSet-Cookie:x
400|/%zz
400|/..\\..\\etc\\passwd
404|/%5c..%5c..%5cetc%5cpasswd
404|//etc/passwd
404|/etc/passwd
404|/CMakeCache.txt
404|/web/
LIST
  # Within the limit at its own size, past it at @2x.
  expectStatus 200 "$url$mid.png"
  # A request line or header two readers could take two ways: one refusal,
  # then the connection closes, so what follows is never answered as a
  # request of its own.
  local next='GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n' head
  while IFS='|' read -r want head; do
    [ "$(rawAnswers "$port" "$head\r\n$next")" = "$want" ] || fail "$head: $(rawAnswers "$port" "$head\r\n$next")"
  done <<'LIST'
400|GET /healthz HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\nContent-Length: 29\r\n
400|GET /healthz HTTP/1.1\r\nHost: x\r\nContent-Length : 29\r\n
400|GET /healthz HTTP/1.1\r\n
400|GET /healthz HTTP/1.1\r\nHost: x\r\nHost: y\r\n
400|GET /healthz HTTP/1.1\r\nHost: x\r\nX-A: a\rb\r\n
400|GET /healthz HTTP/1.1\r\nHost: x\r\nIf-None-Match: "a"\r\nIf-None-Match: "b"\r\n
400|GET /healthz HTTP/1.1\r\nHost: x\r\nX-A: a\0b\r\n
400|GET /healthz HTTP/1.1\r\nHost: x\r\nX-A: a\r\n b\r\n
400|GET /healthz HTTP/1.1\r\nHost: x\r\n: b\r\n
400|GET /healthz HTTP/1.1\r\nHost: x\r\nContent-Length: abc\r\n
400|GET /healthz HTTP/1.1\r\nHost: x\r\nContent-Length: -1\r\n
400|GET  /healthz HTTP/1.1\r\nHost: x\r\n
400|GET /a b HTTP/1.1\r\nHost: x\r\n
400|GET /health"z HTTP/1.1\r\nHost: x\r\n
400|GET /healthz\xff HTTP/1.1\r\nHost: x\r\n
505|GET /healthz HTTP/1.9\r\nHost: x\r\n
200 200|GET /healthz HTTP/1.1\r\nHost: x\r\n
LIST
  # A quote or a byte past ASCII is logged escaped: no path forges a line.
  local line
  for line in '"GET /health\x22z HTTP/1.1" 400 ' '"GET /healthz\xFF HTTP/1.1" 400 '; do
    waitFor "grep -qF -- '$line' '$work/hostile.log'" 20 || fail "no log line with $line"
  done
  [ "$(rawAnswers "$port" 'GET /healthz HTTP/1.0\r\n\r\n')" = 200 ] || fail "HTTP/1.0 needs no Host"
  local method
  for method in POST PUT DELETE PATCH OPTIONS TRACE CONNECT PROPFIND FOO; do
    expectStatus 405 "${url}healthz" -X "$method"
  done
  expectStatus 400 "${url}healthz" -X GET --data-binary x
  local mega
  mega=$(head -c 1048576 /dev/zero | tr '\0' a)
  # Refused before the request is all read, yet the client, writing all of
  # it before it reads, gets its answer and then the end, never a reset.
  local got
  got=$(sentFirst "$port" $'GET /'"$mega"$' HTTP/1.1\r\nHost: x\r\n\r\n')
  [ "$got" = "414 end" ] || fail "a megabyte's path: $got"
  got=$(sentFirst "$port" $'GET /healthz HTTP/1.1\r\nX-Big: '"$mega"$'\r\n\r\n')
  [ "$got" = "431 end" ] || fail "a megabyte's header: $got"
  # That refusal, as every other, is one line of plain text.
  [ "$(tr -d '\r' <"$work/sent.answer" | sed '1,/^$/d')" = "the request's headers are larger than the server reads" ] ||
    fail "the 431's body: $(head -c 300 "$work/sent.answer")"
  got=$(sentFirst "$port" $'GET /healthz HTTP/1.1\r\nHost: x\r\nContent-Length: 4000000\r\nContent-Length: 4000000\r\n\r\n'"$mega$mega$mega$mega")
  [ "$got" = "400 end" ] || fail "a refused body of 4 MB: $got"
  [ "$(raw "$port" $'GET /'"${mega:0:20000}"$' HTTP/1.1\r\nHost: x\r\n\r\n')" = 414 ] || fail "a long path"
  # The longest path read (no link, so 404) fits a connection's memory
  # beside 6 kB of headers.
  [ "$(raw "$port" $'GET /'"${mega:0:16399}"$' HTTP/1.1\r\nHost: x\r\nCookie: '"${mega:0:6000}"$'\r\n\r\n')" = 404 ] ||
    fail "the longest path with 6 kB of headers"
  # A byte a second: cut off once the time-out has passed, however steady.
  local start=$SECONDS request=$'GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n' i answer
  exec 4<>"/dev/tcp/127.0.0.1/$port"
  for ((i = 0; i < ${#request} && SECONDS - start < 8; i++)); do
    printf '%s' "${request:i:1}" >&4 2>/dev/null || break
    healthy "$url"
    sleep 1
  done
  answer=$(timeout 5 cat <&4 2>/dev/null | head -c 100 || true)
  exec 4>&-
  [ -z "$answer" ] && ((SECONDS - start <= 3)) || fail "a client sending a byte a second held on for $((SECONDS - start)) s"
  healthy "$url"
  # 505 is the one refusal of the 5xx: a version we do not speak.
  grep ' 5[0-9][0-9] ' "$work/hostile.log" | grep -qv '" 505 ' && fail "a 5xx among the hostile answers"
  return 0
}

# One drawing thread and one place in the queue: of 8 large pictures asked
# at once, some are refused with 503 and Retry-After, the rest drawn.
busy() {
  startServer busy -j 1 --queue 1 --cache-size 0
  local i
  for i in $(seq 1 8); do
    curl -s -D "$work/busy$i.head" -o /dev/null \
      "$url_busy$(seq 1 $i | "$exporter" --format link --width 4000 --height 4000 -).png" &
  done
  wait $(jobs -p | grep -v -x -F -f <(printf '%s\n' "${started[@]}")) 2>/dev/null || true
  local refused drawn
  refused=$(cat "$work"/busy*.head | grep -c '^HTTP/1.1 503' || true)
  drawn=$(cat "$work"/busy*.head | grep -c '^HTTP/1.1 200' || true)
  ((refused > 0 && refused + drawn == 8)) || fail "busy: $drawn drawn, $refused refused of 8"
  grep -qi '^Retry-After: 1' $(grep -l '^HTTP/1.1 503' "$work"/busy*.head | head -1) || fail "503 without Retry-After"
}

# One drawing thread and one place in the queue, cache off: 8 requests at
# once for one picture not yet drawn share its one drawing, so none is
# refused and all get the same bytes.
coalesced() {
  startServer same -j 1 --queue 1 --cache-size 0
  local i link
  link=$(seq 1 9 | "$exporter" --format link --width 4000 --height 4000 -)
  for i in $(seq 1 8); do
    curl -s -o "$work/same$i.png" -w '%{http_code}' "$url_same$link.png" >"$work/same$i.status" &
  done
  wait $(jobs -p | grep -v -x -F -f <(printf '%s\n' "${started[@]}")) 2>/dev/null || true
  [ "$(cat "$work"/same?.status)" = 200200200200200200200200 ] || fail "8 requests for one picture: $(cat "$work"/same?.status)"
  for i in $(seq 2 8); do cmp -s "$work/same1.png" "$work/same$i.png" || fail "8 requests for one picture: different bytes"; done
}

# Standard error a pipe nobody reads: the answers go on at their pace, the
# lines past the log's bound are dropped and counted, and once the pipe is
# read every line is there or in the count.
stalledLog() {
  mkfifo "$work/log.fifo"
  exec 7<>"$work/log.fifo"
  "$server" --listen 127.0.0.1:0 --root "$pageRoot" >"$work/stall.out" 2>"$work/log.fifo" &
  local pid=$!
  started+=("$pid")
  waitFor "[ -s '$work/stall.out' ]" 100 || fail "the server did not start"
  local url count=400 long i
  url=$(head -1 "$work/stall.out")
  # Lines of 8 kB: a few dozen fill the pipe and the log's bound.
  long=$(head -c 8000 /dev/zero | tr '\0' a)
  for ((i = 0; i < count; i++)); do printf 'url = "%s"\noutput = /dev/null\n' "${url}x$long"; done >"$work/stall.curl"
  timeout 20 curl -s -m 2 -K "$work/stall.curl" -w '%{http_code} %{time_total}\n' >"$work/stall.times" ||
    fail "a stalled log stalled the answers: $(wc -l <"$work/stall.times") of $count answered"
  awk -v n="$count" '$1 == 404 { ok++; if ($2 > max) max = $2 } END { exit !(ok == n && max < 1) }' "$work/stall.times" ||
    fail "a stalled log: $(sort -k2 -n "$work/stall.times" | tail -1), $(grep -c '^404' "$work/stall.times") of $count"
  healthy "$url"
  count=$((count + 1))
  cat "$work/log.fifo" >"$work/stall.log" &
  local reader=$!
  started+=("$reader")
  waitFor "grep -q 'access log lines dropped' '$work/stall.log'" 50 || fail "no count of the dropped lines"
  exec 7>&-
  local written dropped
  written=$(grep -c '" 404 \|" 200 ' "$work/stall.log")
  dropped=$(awk '/access log lines dropped/ { n += $2 } END { print n + 0 }' "$work/stall.log")
  ((written + dropped == count && dropped > 0)) || fail "a stalled log: $written lines written, $dropped dropped of $count"
  echo "serve-tests: a log nobody read: $count answered within 1 s each, $dropped lines dropped and counted"
  # Stopped while its log is never read, a server still exits in time.
  mkfifo "$work/stuck.fifo"
  exec 8<>"$work/stuck.fifo"
  "$server" --listen 127.0.0.1:0 --root "$pageRoot" >"$work/stuck.out" 2>"$work/stuck.fifo" &
  pid=$!
  started+=("$pid")
  waitFor "[ -s '$work/stuck.out' ]" 100 || fail "the server did not start"
  sed "s|$url|$(head -1 "$work/stuck.out")|" "$work/stall.curl" >"$work/stuck.curl"
  timeout 20 curl -s -m 2 -K "$work/stuck.curl" || fail "a stalled log stalled the answers"
  local start=$(date +%s%N) exitStatus=0
  kill -TERM "$pid"
  wait "$pid" || exitStatus=$?
  local took=$((($(date +%s%N) - start) / 1000000))
  exec 8>&-
  ((exitStatus == 0 && took <= 6000)) || fail "SIGTERM with a log nobody reads: exit status $exitStatus in $took ms"
}

# SIGTERM with pictures in flight: each request gets its whole answer, the
# server exits 0 within a few seconds and takes no new connection.
terminate() {
  startServer term -j 1
  local i port=${url_term##*:}
  port=${port%/}
  for i in $(seq 1 8); do seq 1 $((i + 8)) >"$work/term$i.txt"; done
  "$exporter" --format link --width 4000 --height 4000 "$work"/term?.txt >"$work/term.links"
  for i in $(seq 1 8); do
    curl -s -o "$work/term$i.png" -w '%{http_code}' "$url_term$(sed -n "${i}p" "$work/term.links").png" \
      >"$work/term$i.status" &
  done
  # All eight answered already (a picture that would wait too long is
  # refused at once) or connected and taken from the listening queue: one
  # that connects after SIGTERM is refused, as a stopped server refuses.
  waitFor "[ \$((\$(ss -Htn state established '( sport = :$port )' | wc -l) + \$(grep -l . '$work'/term?.status | wc -l))) -ge 8 ] &&
    [ \$(ss -Hltn '( sport = :$port )' | awk '{ print \$2 }') = 0 ]" 100 ||
    fail "the requests never reached the server: $(ss -Htn state established "( sport = :$port )" | wc -l) connected, answered: $(cat "$work"/term?.status), listen queue $(ss -Hltn "( sport = :$port )")"
  local start=$SECONDS
  kill -TERM "$pid_term"
  local exitStatus=0
  wait "$pid_term" || exitStatus=$?
  ((exitStatus == 0)) || fail "SIGTERM: exit status $exitStatus"
  # The bound is 5 s and the one drawing still going then, which a
  # sanitizer build on a busy machine may take seconds over: timed here, by
  # the same build, after the stop.
  local stopped=$((SECONDS - start)) drawStart=$SECONDS
  "$exporter" -j 1 --width 4000 --height 4000 "$work/term1.txt" -o "$work/term-alone.png"
  ((stopped <= 5 + SECONDS - drawStart + 1)) || fail "SIGTERM: $stopped s to stop, one drawing $((SECONDS - drawStart)) s"
  for i in $(seq 1 8); do
    waitFor "[ -s '$work/term$i.status' ]" 50 || fail "request $i never ended"
    case $(cat "$work/term$i.status") in
      200) pngcheck -q "$work/term$i.png" >/dev/null || fail "request $i: a cut picture" ;;
      503) ;;
      *) fail "request $i during SIGTERM: $(cat "$work/term$i.status")" ;;
    esac
  done
  [ "$(status "${url_term}healthz")" = 000 ] || fail "still answering after SIGTERM"
}

# A wrk script asking for a new picture each request, from $work/NAME.links.
newPictures() {  # NAME COUNT
  mkdir -p "$work/$1"
  awk -v n="$2" -v dir="$work/$1" 'BEGIN {
    for (f = 1; f <= n; f++) {
      for (i = 1; i <= f % 50 + 2; i++) printf "%d.%d\n", i, f >dir "/" f ".txt"
      close(dir "/" f ".txt")
    }
  }'
  "$exporter" --format link "$work/$1"/*.txt >"$work/$1.links"
  cat >"$work/$1.lua" <<LUA
local links, n = {}, 0
for line in io.lines("$work/$1.links") do links[#links + 1] = line end
request = function()
  n = n + 1
  return wrk.format("GET", "/" .. links[n % #links + 1] .. ".png?" .. n)
end
LUA
  # Each status counted, summed over wrk's threads at the end.
  cat >>"$work/$1.lua" <<'LUA'
local threads = {}
counts = {}
setup = function(thread) table.insert(threads, thread) end
response = function(status) counts[status] = (counts[status] or 0) + 1 end
done = function()
  local total = {}
  for _, thread in ipairs(threads) do
    for status, n in pairs(thread:get("counts")) do total[status] = (total[status] or 0) + n end
  end
  for status, n in pairs(total) do io.write("status ", status, " ", n, "\n") end
end
LUA
}
# How many answers of wrk's run had status $2.
answered() { awk -v s="$2" '$1 == "status" && $2 == s { print $3; found = 1 } END { if (!found) print 0 }' "$1"; }
# wrk's socket errors of the kinds named (connect read write timeout), summed.
socketErrors() {  # WRK-OUTPUT KIND...
  awk -v kinds="${*:2}" '/Socket errors/ {
    gsub(",", ""); for (i = 3; i < NF; i += 2) if (index(" " kinds " ", " " $i " ")) n += $(i + 1)
  } END { print n + 0 }' "$1"
}

# SIGTERM under wrk -c64 of new pictures on kept-alive connections: every
# request read is answered (wrk sees no read error and no time-out; a
# refused connection is what a stopped server gives), and the process exits
# 0 well inside the unit's TimeoutStopSec.
stopUnderLoad() {
  startServer load
  newPictures fresh 400
  wrk -t2 -c64 -d4s --timeout 3s -s "$work/fresh.lua" "$url_load" >"$work/stop.wrk" 2>&1 &
  local load=$!
  waitFor "[ \$(grep -c '\"GET /z1' '$work/load.log') -ge 200 ]" 100 || fail "the load never reached the server"
  local start=$(date +%s%N) exitStatus=0
  kill -TERM "$pid_load"
  wait "$pid_load" || exitStatus=$?
  local took=$((($(date +%s%N) - start) / 1000000))
  wait "$load" || true
  ((exitStatus == 0)) || fail "SIGTERM under load: exit status $exitStatus"
  ((took <= 6000)) || fail "SIGTERM under load: $took ms to stop"
  (($(socketErrors "$work/stop.wrk" read timeout) == 0)) || fail "SIGTERM under load: $(cat "$work/stop.wrk")"
  echo "serve-tests: SIGTERM under wrk -c64 stopped in $took ms, no request left unanswered"
}

# 2 000 idle connections held against a server of 1 024: the idle longest
# make way, so /healthz from another address answers within a second.
idleCrowd() {
  startServer idle --per-address 0
  local port=${url_idle##*:}
  port=${port%/}
  (
    ulimit -n "$(ulimit -Hn)"
    for ((i = 0; i < 2000; i++)); do exec {fd}<>"/dev/tcp/127.0.0.1/$port" || exit 1; done
    touch "$work/held"
    sleep 30
  ) 2>/dev/null &
  local holder=$!
  started+=("$holder")
  waitFor "[ -e '$work/held' ]" 200 || fail "2000 connections were not made"
  local i took
  for ((i = 0; i < 5; i++)); do
    took=$(curl -s -o /dev/null -m 1 --interface 127.0.0.2 -w '%{http_code} %{time_total}' "${url_idle}healthz") ||
      fail "/healthz beside 2000 idle connections: no answer within 1 s ($took)"
    [ "${took% *}" = 200 ] || fail "/healthz beside 2000 idle connections: $took"
  done
  kill "$holder"
  echo "serve-tests: /healthz beside 2000 idle connections in ${took#* } s"
}

# A service manager's notify socket: READY=1 once, and only when the server
# answers (the reader asks at once); none from a server that cannot
# listen; STOPPING=1 on SIGTERM.
ready() {
  local port
  port=$(freePort)
  python3 tests/serve/notify-reader.py "$work/notify" "$port" >"$work/notify.out" &
  started+=("$!")
  waitFor "grep -q '^bound$' '$work/notify.out'" 50 || fail "the notify reader did not start"
  NOTIFY_SOCKET=$work/notify "$server" --listen "127.0.0.1:$port" --root "$pageRoot" >/dev/null 2>&1 &
  local pid=$!
  started+=("$pid")
  waitFor "grep -q '^healthz' '$work/notify.out'" 100 || fail "no READY=1: $(cat "$work/notify.out")"
  [ "$(grep '^healthz' "$work/notify.out")" = "healthz 200" ] || fail "READY=1 before the server answered: $(cat "$work/notify.out")"
  local exitStatus=0
  NOTIFY_SOCKET=$work/notify "$server" --listen "127.0.0.1:$port" --root "$pageRoot" >/dev/null 2>&1 || exitStatus=$?
  ((exitStatus == 1)) || fail "a second server on a port taken: exit status $exitStatus"
  kill -TERM "$pid"
  wait "$pid" || fail "SIGTERM: exit status $?"
  waitFor "grep -q '^STOPPING=1$' '$work/notify.out'" 50 || fail "no STOPPING=1: $(cat "$work/notify.out")"
  [ "$(grep -c '^READY=1$' "$work/notify.out")" = 1 ] || fail "READY=1 not once: $(cat "$work/notify.out")"
}

# Clients refused before their request was read that then neither read nor
# close: their sockets linger, counted as connections, and are the first
# to make way, so a server of 4 connections still answers /healthz.
lingerCrowd() {
  startServer crowd --connections 4 --per-address 0
  local port=${url_crowd##*:} mega fds=() fd i took
  port=${port%/}
  mega=$(head -c 1048576 /dev/zero | tr '\0' a)
  for ((i = 0; i < 4; i++)); do
    exec {fd}<>"/dev/tcp/127.0.0.1/$port"
    fds+=("$fd")
    printf '%s' $'GET /'"$mega"$' HTTP/1.1\r\nHost: x\r\n\r\n' >&"$fd" 2>/dev/null || fail "refused client $i was reset"
  done
  took=$(curl -s -o /dev/null -m 1 -w '%{http_code} %{time_total}' "${url_crowd}healthz") || true
  for fd in "${fds[@]}"; do exec {fd}>&-; done
  [ "${took% *}" = 200 ] || fail "/healthz beside 4 lingering sockets: ${took:-no answer}"
}

# Restarts under load on a socket held as a service manager holds it: the
# connections made while no server runs wait in its queue, so wrk sees no
# failed request at all.
restartUnderLoad() {
  local port
  port=$(freePort)
  HOLDER_LOG=$work/holder systemd-socket-activate -l "127.0.0.1:$port" -E HOLDER_LOG \
    tests/serve/socket-holder.sh "$server" --root "$pageRoot" 2>"$work/holder.err" &
  local holder=$!
  started+=("$holder")
  waitFor "curl -sf -o /dev/null http://127.0.0.1:$port/healthz" 100 || fail "the socket holder did not start: $(cat "$work/holder.err")"
  waitFor "grep -q '^start 1 http://127.0.0.1:$port/' '$work/holder' 2>/dev/null" 50 || fail "the server did not take the socket passed: $(cat "$work"/holder*)"
  newPictures again 400
  wrk -t2 -c16 -d4s --timeout 3s -s "$work/again.lua" "http://127.0.0.1:$port/" >"$work/restart.wrk" 2>&1 &
  local load=$! i
  for i in 2 3; do
    sleep 1
    kill -HUP "$holder"
    waitFor "grep -q '^start $i ' '$work/holder'" 50 || fail "restart $((i - 1)) did not end: $(cat "$work/holder")"
  done
  wait "$load" || fail "wrk failed: $(cat "$work/restart.wrk")"
  grep -q 'Non-2xx\|Socket errors' "$work/restart.wrk" && fail "requests failed across restarts: $(cat "$work/restart.wrk")"
  [ "$(grep -c '^exit 0$' "$work/holder")" = 2 ] || fail "a server did not stop cleanly: $(cat "$work/holder")"
  echo "serve-tests: $(awk '/requests in/ { print $1 }' "$work/restart.wrk") requests across two restarts, none failed"
}

# The packaged nginx example in front of two instances, as shipped, while
# 200 clients ask for new pictures: a full queue is passed on as 503 (or
# tried on the other instance), never taken for a dead instance, so nginx
# never answers 502; and a link of 512 values is kept by its cache.
front() {
  startServer a --per-address 0
  startServer b --per-address 0
  local port a=${url_a#http://} b=${url_b#http://}
  port=$(freePort)
  startNginx "$port" "${a%/}" "${b%/}"
  newPictures crowd 400
  wrk -t2 -c200 -d${FRONT_SECONDS:-3}s --timeout 5s -s "$work/crowd.lua" "http://127.0.0.1:$port/" >"$work/front.wrk" 2>&1 ||
    fail "wrk failed: $(cat "$work/front.wrk")"
  local drawn bad total
  drawn=$(answered "$work/front.wrk" 200)
  bad=$(answered "$work/front.wrk" 502)
  total=$(awk '/requests in/ { print $1 }' "$work/front.wrk")
  ((bad == 0 && 2 * drawn >= total)) || fail "behind nginx: $bad of $total answered 502, $drawn 200"
  echo "serve-tests: 200 clients behind nginx: $drawn of $total drawn, no 502, $(answered "$work/front.wrk" 503) 503"
  local long
  # The longest texts a value has make the longest links.
  awk 'BEGIN { srand(7); for (i = 0; i < 512; i++) printf "%.17g\n", -(rand() + 1) * 1e-300 }' >"$work/front.txt"
  long=$("$exporter" --format link "$work/front.txt")
  ((${#long} > 8000)) || fail "the long link is only ${#long} bytes"
  [ "$(meta "$(curl -s "http://127.0.0.1:$port/$long")" og:image)" = "http://127.0.0.1:$port/${long//&/\&amp;}@2x.png" ] ||
    fail "behind nginx, og:image does not name the front"
  curl -s -o /dev/null "http://127.0.0.1:$port/$long.png"
  [ "$(header "http://127.0.0.1:$port/$long.png" X-Cache-Status)" = HIT ] || fail "a link of ${#long} bytes is not kept by nginx"
}

# Two instances behind the packaged nginx example; one is killed (SIGKILL)
# during a bounded load, every request passing nginx's cache to an instance,
# and no request fails.
balanced() {
  startServer one
  startServer two
  local port one=${url_one#http://} two=${url_two#http://} i
  port=$(freePort)
  startNginx "$port" "${one%/}" "${two%/}"
  mkdir "$work/load"
  for i in $(seq 1 200); do seq 1 $((i % 50 + 2)) | sed "s/$/.$i/" >"$work/load/$i.txt"; done
  "$exporter" --format link "$work"/load/*.txt >"$work/links"
  cat >"$work/load.lua" <<LUA
local links, n = {}, 0
for line in io.lines("$work/links") do links[#links + 1] = line end
request = function()
  n = n + 1
  -- A query of its own passes nginx's cache; the server reads no query.
  return wrk.format("GET", "/" .. links[n % #links + 1] .. ".png?" .. n)
end
LUA
  wrk -t2 -c16 -d2s -s "$work/load.lua" "http://127.0.0.1:$port/" >"$work/wrk.out" 2>&1 &
  local load=$!
  waitFor "grep -q '\"GET /z1' '$work/one.log'" 50 || fail "no picture from the first instance"
  kill -KILL "$pid_one"
  wait "$pid_one" 2>/dev/null || true
  wait "$load" || fail "wrk failed: $(cat "$work/wrk.out")"
  grep -q 'Non-2xx\|Socket errors' "$work/wrk.out" && fail "requests failed behind nginx: $(cat "$work/wrk.out")"
  local count
  count=$(awk '/requests in/ { print $1 }' "$work/wrk.out")
  ((count > 100)) || fail "only $count requests behind nginx"
  echo "serve-tests: $count requests behind nginx, one of two instances killed, none failed"
}

[ -n "${ONLY:-}" ] && { $ONLY; exit; }
pageAndPictures
sharedPage
hostile
busy
coalesced
stalledLog
terminate
stopUnderLoad
ready
restartUnderLoad
idleCrowd
lingerCrowd
front
balanced
echo "serve-tests: passed"
