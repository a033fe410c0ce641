# Shell code for programs run under Wine, sourced by ./tarn and the
# benchmark drivers.

# A Linux path as Wine sees it: drive Z: is the Linux root in every prefix.
wine_path() {
    printf 'Z:%s' "$1" | tr '/' '\\'
}
