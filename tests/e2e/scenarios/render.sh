# Page texts and the banner painted alone, the size of the dialog's tab display area and strip. Each
# variant must paint text where its text goes (inside the page's frame below the tab labels, inside
# the banner strip's border: one colour when empty), end by itself, and look different from the
# variants whose texts differ; the screenshots stay for a person to see.

RENDER="$E2E_BUILD/render-window.exe"

# A rectangle of a screenshot as "COLOURS CHECKSUM" of its pixels.
window_pixels() {  # window_pixels SHOT LEFT TOP RIGHT BOTTOM
    convert "$1" -crop "$(($4 - $2))x$(($5 - $3))+$2+$3" -depth 8 rgb:- | /usr/bin/python3 -c '
import hashlib, sys
data = sys.stdin.buffer.read()
print(len({data[i:i + 3] for i in range(0, len(data), 3)}), hashlib.md5(data).hexdigest())'
}

declare -A RENDERED
render_shot() {  # render_shot NAME SECONDS-BEFORE-THE-SHOT ARGS...
    # Where the text goes, as insets from the window's left, top, right and bottom edges.
    local name=$1 wait=$2 title="render_window page" insets=(6 50 6 6)
    shift 2
    [ "$1" = banner ] && title="render_window banner" insets=(16 35 14 16)
    # The window's quit timer starts with the window: the shot is taken WAIT seconds after it shows,
    # and again while the window lasts (six seconds longer) until the text shows where it goes: on a
    # busy machine Wine may draw the window a while after it counts as shown.
    start_setup "$RENDER" "$@" quit=$(python3 -c "print(int(($wait + 6) * 1000))")
    driver wait-window "$title" 30 >/dev/null || fail "$name: the window \"$title\" did not show"
    local shown left top right bottom colours=0 checksum
    shown=$(date +%s.%N)
    read -r left top right bottom < <(driver window-rect "$title" | tr -d '\r')
    [ -n "$bottom" ] || { fail "$name: no window \"$title\""; wait_setup 20; return; }
    sleep "$(python3 -c "print(max(0.0, $wait - ($(date +%s.%N) - $shown)))")"
    while :; do
        screenshot "$name" >/dev/null
        read -r colours checksum < <(window_pixels "$E2E_SCREENS/$name.png" $((left + insets[0])) \
            $((top + insets[1])) $((right - insets[2])) $((bottom - insets[3])))
        [ "${colours:-0}" -gt 1 ] || python3 -c "import sys; sys.exit($(date +%s.%N) - $shown < $wait + 4)" && break
        sleep 0.3
    done
    log "screenshot: dist/screens/$name.png"
    wait_setup 20
    check_equal "$name painted and ended" 0 "$SETUP_EXIT"
    check "$name shows text ($colours colours where it goes)" test "${colours:-0}" -gt 1
    RENDERED[$name]=$checksum
}

# Variants whose texts differ must not look alike.
check_differ() {  # check_differ NAME...
    local first second
    for first in "$@"; do
        for second in "$@"; do
            [[ "$first" < "$second" ]] || continue
            check "$first and $second differ" test "${RENDERED[$first]:-a}" != "${RENDERED[$second]:-a}"
        done
    done
}

scenario_page_texts_and_banner_render() {
    render_shot render-welcome 1.5 0
    render_shot render-welcome-page2 1.5 0 page=2
    render_shot render-welcome-installed 1.5 0 installed
    render_shot render-requirements 1.5 1
    render_shot render-requirements-no-printer 1.5 1 noprinter
    render_shot render-requirements-no-privilege 1.5 1 noprivilege
    render_shot render-defaults 1.5 2
    render_shot render-installation 1.5 3
    render_shot render-installation-installed 1.5 3 installed
    render_shot render-banner-entry 0.6 banner
    render_shot render-banner-wrapped 6 banner
    check_differ render-welcome render-welcome-page2 render-welcome-installed render-requirements render-defaults \
        render-installation
    check_differ render-requirements render-requirements-no-printer render-requirements-no-privilege
    check_differ render-installation render-installation-installed
    check_differ render-banner-entry render-banner-wrapped
}
