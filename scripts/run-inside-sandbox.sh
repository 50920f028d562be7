#!/usr/bin/env bash
# Runs inside tests/sandbox-run: starts the camera simulator at 10.5.5.9, then Velkamo.
# With VELKAMO_SCREENSHOT_AFTER=N, saves a screenshot after N seconds and ends both.
set -euo pipefail
build=${VELKAMO_BUILD:?}
model=${VELKAMO_MODEL:-5}
media=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$media"' EXIT

ready=$(mktemp)
"$build/bin/velkamo-camsim" --model "$model" --ref "$build/ref" --media-count 24 \
    --media-dir "$media" >"$ready" &
for _ in $(seq 1 300); do
  grep -q "camsim ready" "$ready" && break
  sleep 0.1
done
grep -q "camsim ready" "$ready" || { echo "the camera simulator did not start" >&2; exit 1; }

# VELKAMO_CAMERA_STATUS sets what the simulated camera reports, as the parameters of the
# simulator's /camera-status (sim/README.md), for example "recording=1&battery=64".
if [ -n "${VELKAMO_CAMERA_STATUS:-}" ]; then
  exec 3<>/dev/tcp/127.0.0.1/8999
  printf 'GET /camera-status?%s HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n' "$VELKAMO_CAMERA_STATUS" >&3
  cat <&3 >/dev/null
  exec 3<&-
fi

# The simulated camera answers as model $model; start Velkamo on that model.
printf '{\n    "Version": "hero%s"\n}\n' "$model" > "$build/ref/gopro_default.json"

if [ -z "${VELKAMO_SCREENSHOT_AFTER:-}" ]; then
  "$build/bin/velkamo"
  exit $?
fi

"$build/bin/velkamo" &
app=$!
sleep "$VELKAMO_SCREENSHOT_AFTER"
mkdir -p "$(dirname "$VELKAMO_SHOT")"
import -window root "$VELKAMO_SHOT" 2>/dev/null \
  || xwd -root -silent | convert xwd:- "$VELKAMO_SHOT"
echo "screenshot saved to $VELKAMO_SHOT"
kill "$app"
