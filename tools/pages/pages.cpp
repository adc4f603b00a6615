#include "tools/pages/pages.h"

#include <filesystem>
#include <vector>

#include "tools/kit/image.h"

namespace gen {

namespace {

// Both pages share one look: the colours of the game's case and table, nothing
// fetched from anywhere.
const char* const kHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>%TITLE%</title>
<style>
body { max-width: 46em; margin: 2em auto; padding: 0 1em; font-family: Georgia, "Nimbus Roman", serif;
       line-height: 1.5; color: #2b1a10; background: #f6efe2; }
h1, h2 { color: #5a2a14; line-height: 1.2; }
h1 { border-bottom: 3px solid #a9713e; padding-bottom: 0.2em; }
code, pre { font-family: "DejaVu Sans Mono", monospace; font-size: 0.92em; background: #ece0c8; }
code { padding: 0 0.2em; }
pre { padding: 0.6em 0.8em; overflow-x: auto; border-left: 4px solid #a9713e; }
table { border-collapse: collapse; margin: 0.5em 0; }
th, td { border: 1px solid #c8b08a; padding: 0.2em 0.6em; text-align: left; vertical-align: top; }
th { background: #ece0c8; }
a { color: #7a3010; }
</style>
</head>
<body>
)";

const char* const kFoot = R"(</body>
</html>
)";

std::string Replace(std::string text, const std::string& key, const std::string& value) {
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
        text.replace(at, key.size(), value);
    return text;
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Page(const std::string& title, const std::string& body) {
    return Replace(kHead, "%TITLE%", Escape(title)) + body + kFoot;
}

const char* const kOrderBody = R"(<h1>Valimo</h1>

<p>Thank you for playing Valimo. You came here by <em>Order Now!</em>, but there is nothing to
order: Valimo for Linux is free software, and your copy is the whole game. This page tells what
it holds, how to make levels of your own, and where the game keeps your players.</p>

<h2>What the game offers</h2>
<ul>
<li>%LEVELS% levels, from a handful of large things to cases packed with small ones;</li>
<li>%PICTURES% things to pack, from rubber ducks to guitars;</li>
<li>up to ten players on one computer, each going on from the level reached;</li>
<li>levels of your own, played after the shipped ones (below).</li>
</ul>
<p>Keys: <kbd>Escape</kbd> leaves a level for the quit window, <kbd>F</kbd> shows the frames per
second, and <kbd>Alt</kbd>+<kbd>Enter</kbd> switches between full screen and a window.</p>

<h2>Your folder</h2>
<p>An installed game keeps your things in your own folder,
<code>~/.local/share/valimo</code> (or <code>$XDG_DATA_HOME/valimo</code> when
<code>XDG_DATA_HOME</code> is set). In it are:</p>
<table>
<tr><th>File</th><th>What it is</th></tr>
<tr><td><code>prefs.dat</code></td><td>your players and the level each has reached</td></tr>
<tr><td><code>valimo.log</code></td><td>what the game did in its last run; it is written afresh each time</td></tr>
<tr><td><code>levels/</code></td><td>the level files: the shipped ones and yours</td></tr>
<tr><td><code>data/</code></td><td>the pictures of the things to pack, and the game's other pictures and sounds</td></tr>
</table>
<p>A game started from a folder of its own (an unpacked copy, or <code>make play</code> in a
build) keeps these files in that folder instead.</p>

<h2>Making your own levels</h2>
<p>A level is a small text file ending in <code>.lev</code> in the <code>levels</code> folder. The
quickest way to a new one is the level tool, which makes a level that can be solved from the
pictures that come with the game:</p>
<pre>valimo-levels new --items 8 --number %NEXT% &gt; ~/.local/share/valimo/levels/my-first.lev
valimo-levels check ~/.local/share/valimo/levels/my-first.lev</pre>
<p><code>check</code> reads level files (or whole folders of them) and says for each whether it can
be solved, how many ways there are, and every fault it finds; it ends with status 0 when all
pass. Levels with pictures of your own are checked with <code>--data</code> and the folder
holding them, for example <code>--data ~/.local/share/valimo/data</code>.</p>

<h3>The level format in short</h3>
<p>Words and numbers separated by blanks or line ends:</p>
<pre>%EXAMPLE%</pre>
<ul>
<li><code>LEVEL</code> and the level's number come first, at the very start of the file.</li>
<li><code>ITEMS</code> and the number of things to pack, 0 to 64, follow.</li>
<li>Then one line per thing: the name of its picture in <code>data/</code> (no blanks, at most
58 characters), and the column and row of its top left cell.</li>
</ul>
<p>The play area is a grid of 20 columns (0 to 19) by 11 rows (0 to 10) of 32-pixel cells. The
case is columns 5 to 14 of rows 0 to 6: 70 cells. The rest is the table, where every thing
starts, wholly inside the grid and on no other. A level is done when all 70 cells of the case
are covered, so the solid cells of all its things together must come to exactly 70, and they
must fit into the case without turning.</p>

<h3>Pictures of your own</h3>
<p>A picture is a 16-bit BMP file (5-5-5 colour, no compression, the pixels right after the
header) whose width and height are multiples of 32 pixels; each 32 by 32 block is one cell.
Magenta (red 255, green 0, blue 255) is see-through: a block with nothing but magenta is not part
of the thing. The file's name without <code>.bmp</code> is the name shown on the thing.</p>
<p>Draw your picture in any program and save it as PNG, JPEG, BMP, GIF or TGA; the level tool
turns it into the game's kind, with see-through parts as magenta:</p>
<pre>valimo-levels picture teddy.png ~/.local/share/valimo/data/teddy.bmp</pre>
<p>Its size must be whole cells, at most the case's 10 by 7 (320 by 224 pixels); add
<code>--cells 3x2</code> to scale any picture to 3 by 2 cells. For one of the game's own screen
pictures, give <code>--any-size</code> instead. <code>check</code> names every picture the game
would draw wrong or refuse, with the command that mends it.</p>

<h3>The order of play</h3>
<p>The game plays levels by the number in their first line: after level <var>n</var> comes the
file whose number is <var>n</var>&nbsp;+&nbsp;1. The shipped levels are numbered 0 to %LAST%, so
number yours %NEXT%, %NEXT1% and on, without gaps; a number that no file has sends the player
back to the first level. When two files share a number, the first one found is played. The
game lists at most 256 level files.</p>

<p>Movies that do not play? See <a href="faq.html">the questions and answers</a>.</p>
)";

const char* const kFaqBody = R"(<h1>Valimo: questions and answers</h1>

<h2>Which movies does the game read?</h2>
<p>The game plays two movies from its folder: <code>intro.avi</code> when it starts and
<code>outro.avi</code> when you leave. It reads:</p>
<ul>
<li>AVI files; the first video stream is shown and any sound in the file is left out;</li>
<li>video in any format that the FFmpeg library installed with the game decodes; the shipped
movies use Microsoft Video 1, and MPEG-4, Motion JPEG and uncompressed frames work as well;</li>
<li>pictures of any size up to 4096 by 4096 pixels. The game shows the movie at twice its size,
centred: 320 by 240 fills the screen, and of a larger one the middle part is seen;</li>
<li>one movie frame for each frame of the game, 30 a second, whatever speed the file gives.</li>
</ul>

<h2>A movie does not play. What now?</h2>
<p>Look in <code>valimo.log</code> in the game's folder (<code>~/.local/share/valimo</code> for an
installed game); it is written afresh at every start.</p>
<table>
<tr><th>The log says</th><th>What it means</th><th>What to do</th></tr>
<tr><td><code>Failed to open intro.avi</code></td>
<td>the file is missing, is not a plain file, or is not an AVI file. Without its movie the game
ends: at the start for <code>intro.avi</code>, on leaving for <code>outro.avi</code>.</td>
<td>Put the movie back into the game's folder under that very name, or copy it again from
the game's shipped data (<code>share/games/valimo</code> where the game is installed, for
example <code>/usr/share/games/valimo</code>).</td></tr>
<tr><td><code>Failed to decomress a video file, make sure the Microsoft Video 1 codec is present on your system</code></td>
<td>the file opened, but its video could not be decoded: its format is one the installed FFmpeg
does not decode, or the file is damaged. The movie is then skipped.</td>
<td>Make the movie again in Microsoft Video 1, which every FFmpeg decodes (below), or install
the full FFmpeg libraries of your system (on Debian, <code>libavcodec59</code>).</td></tr>
<tr><td><code>Video decompressed successfully</code> but only the middle of the picture shows</td>
<td>the movie is larger than 320 by 240 pixels; the game shows it at twice its size, centred.</td>
<td>Make it again at 320 by 240 (below).</td></tr>
</table>

<h2>How do I make a movie the game plays?</h2>
<p>With the <code>ffmpeg</code> program, from any video it reads:</p>
<pre>ffmpeg -i my-movie.mp4 -an -vf scale=320:240 -r 30 -c:v msvideo1 intro.avi</pre>
<p><code>-an</code> leaves the sound out, <code>scale=320:240</code> makes a picture that fills the
screen, and <code>-r 30</code> gives the frame rate at which the game plays. Put the file into the
game's folder as <code>intro.avi</code> or <code>outro.avi</code>.</p>

<p>Back to <a href="order.html">the game's page</a>.</p>
)";

}  // namespace

std::string OrderPageExample(int shippedLevels, const Level& example) {
    Level renumbered = example;
    renumbered.number = shippedLevels;
    std::string text = FormatLevel(renumbered);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

std::string OrderPage(int shippedLevels, int itemPictures, const Level& example) {
    std::string body = kOrderBody;
    body = Replace(body, "%LEVELS%", std::to_string(shippedLevels));
    body = Replace(body, "%PICTURES%", std::to_string(itemPictures));
    body = Replace(body, "%LAST%", std::to_string(shippedLevels - 1));
    body = Replace(body, "%NEXT1%", std::to_string(shippedLevels + 1));
    body = Replace(body, "%NEXT%", std::to_string(shippedLevels));
    body = Replace(body, "%EXAMPLE%", Escape(OrderPageExample(shippedLevels, example)));
    return Page("Valimo: the game, your levels, your folder", body);
}

std::string FaqPage() { return Page("Valimo: questions and answers", kFaqBody); }

bool WritePages(const std::string& dir, int shippedLevels, int itemPictures, const Level& example, std::string& error) {
    const std::pair<const char*, std::string> pages[] = {
        {"order.html", OrderPage(shippedLevels, itemPictures, example)},
        {"faq.html", FaqPage()},
    };
    for (const auto& [name, text] : pages) {
        const std::string path = (std::filesystem::path(dir) / name).string();
        if (!WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()))) {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}

}  // namespace gen
