# Page texts and the banner painted alone, the size of the dialog's tab display area and strip. Each
# variant must paint text (more than the two colours of an empty page in its window), end by itself,
# and look different from the variants whose text differs; the screenshots stay for a person to see.

RENDER="$E2E_BUILD/render-window.exe"

# The painted window of the screen as "COLOURS CHECKSUM" of its pixels, from a screenshot.
window_pixels() {  # window_pixels SHOT LEFT TOP RIGHT BOTTOM
    convert "$1" -crop "$(($4 - $2))x$(($5 - $3))+$2+$3" -depth 8 rgb:- | /usr/bin/python3 -c '
import hashlib, sys
data = sys.stdin.buffer.read()
print(len({data[i:i + 3] for i in range(0, len(data), 3)}), hashlib.md5(data).hexdigest())'
}

declare -A RENDERED
render_shot() {  # render_shot NAME SECONDS-BEFORE-THE-SHOT ARGS...
    local name=$1 wait=$2 title="render_window page"
    shift 2
    [ "$1" = banner ] && title="render_window banner"
    start_setup "$RENDER" "$@" quit=$(python3 -c "print(int(($wait + 2.5) * 1000))")
    sleep "$wait"
    local left top right bottom
    read -r left top right bottom < <(driver window-rect "$title" | tr -d '\r')
    screenshot "$name"
    wait_setup 20
    check_equal "$name painted and ended" 0 "$SETUP_EXIT"
    [ -n "$bottom" ] || { fail "$name: no window \"$title\""; return; }
    local colours checksum
    read -r colours checksum < <(window_pixels "$E2E_SCREENS/$name.png" "$left" "$top" "$right" "$bottom")
    check "$name shows text ($colours colours)" test "${colours:-0}" -gt 2
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
