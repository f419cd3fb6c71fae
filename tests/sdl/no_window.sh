#!/bin/sh
# The real program started where no window can be made: it must say why on the standard error
# ("no window: " and SDL's reason) and end by itself with a failure status.
program=$1
failed=0
for setting in SDL_VIDEODRIVER=no-such-driver SDL_VIDEODRIVER=x11; do
    err=$(env -u DISPLAY -u WAYLAND_DISPLAY "$setting" timeout 60 "$program" 2>&1 >/dev/null)
    status=$?
    if [ "$status" -eq 0 ] || [ "$status" -eq 124 ] || ! printf '%s\n' "$err" | grep -q '^no window: ..*'; then
        echo "$setting: status $status, standard error:"
        printf '%s\n' "$err"
        failed=1
    fi
done
exit $failed
