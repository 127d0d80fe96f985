#!/usr/bin/env bash
# Installs what is missing, builds Corvelle (Release) and starts it in the current working directory,
# where it keeps 配置.ini. When the configured web addresses point at this machine's loopback address and
# nothing answers there yet, the bundled sample site is started for them first, and stopped afterwards.
set -euo pipefail

root="$(cd "$(dirname "$0")" && pwd)"
build="$root/build-release"

"$root/scripts/install-deps.sh"

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  echo "run.sh: no display found (DISPLAY is not set), so Corvelle's window cannot open." >&2
  echo "run.sh: on a machine without a desktop, start it under a virtual X server:" >&2
  echo "run.sh:     xvfb-run -a ./run.sh" >&2
  exit 1
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target corvelle corvelle-sample-site

# The value of key in section [网络] of ./配置.ini (GBK), or nothing. Names are matched as the program
# matches them: blanks around names and values do not count, nor ASCII case.
setting() {
  local key=$1
  [[ -f 配置.ini ]] || return 0
  iconv -f GBK -t UTF-8 配置.ini 2>/dev/null | tr -d '\r' | awk -v key="$key" '
    function trim(s) { sub(/^[ \t]+/, "", s); sub(/[ \t]+$/, "", s); return s }
    /^[ \t]*\[.*\]/ { line = trim($0); sub(/\][^\]]*$/, "", line); inside = (trim(substr(line, 2)) == "网络"); next }
    inside && index($0, "=") > 0 {
      name = trim(substr($0, 1, index($0, "=") - 1))
      if (tolower(name) == tolower(key)) { print trim(substr($0, index($0, "=") + 1)); exit }
    }'
}

fund_site=$(setting 基金网址)
quotes=$(setting 行情网址)
fund_site=${fund_site:-http://127.0.0.1:18731/}
quotes=${quotes:-http://127.0.0.1:18731}

# The loopback ports among the two addresses: the sample site can stand in for either service there.
ports=()
for address in "$fund_site" "$quotes"; do
  if [[ $address =~ ^[Hh][Tt][Tt][Pp]://(127\.0\.0\.1|localhost):([0-9]+)(/|$) ]]; then
    port=${BASH_REMATCH[2]}
    [[ " ${ports[*]} " == *" $port "* ]] || ports+=("$port")
  fi
done

answers() {
  curl -s -o /dev/null --max-time 2 "http://127.0.0.1:$1/"
}

site_pids=()
stop_sites() {
  for pid in "${site_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
}
trap stop_sites EXIT

for port in "${ports[@]}"; do
  if answers "$port"; then
    echo "run.sh: something already answers on 127.0.0.1:$port; using it"
    continue
  fi
  echo "run.sh: starting the bundled sample site on 127.0.0.1:$port (illustrative data, not live prices)"
  "$build/tools/sample-site/corvelle-sample-site" --port "$port" &
  site_pids+=("$!")
  for _ in $(seq 50); do
    answers "$port" && break
    sleep 0.1
  done
done

status=0
"$build/corvelle" || status=$?
exit "$status"
