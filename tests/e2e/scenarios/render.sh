# Page texts and the banner painted alone, the size of the dialog's tab display area and strip,
# saved as screenshots to look at. A variant passes when it paints and ends by itself.

RENDER="$E2E_BUILD/render-window.exe"

render_shot() {  # render_shot NAME SECONDS-BEFORE-THE-SHOT ARGS...
    local name=$1 wait=$2
    shift 2
    start_setup "$RENDER" "$@" quit=$(python3 -c "print(int(($wait + 1.5) * 1000))")
    sleep "$wait"
    screenshot "$name"
    wait_setup 20
    check_equal "$name painted and ended" 0 "$SETUP_EXIT"
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
}
