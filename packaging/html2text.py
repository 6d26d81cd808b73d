#!/usr/bin/env python3
"""Turns a help page into plain text (the licence for the installer and the zip).

Usage: html2text.py PAGE.htm > TEXT.txt. Paragraphs, headings and list items become
blocks separated by blank lines; the page's navigation bar and title are left out."""
import html.parser
import sys
import textwrap

BLOCKS = {'p', 'h1', 'h2', 'h3', 'li', 'div', 'tr'}
SKIP = {'head', 'script', 'style'}


class Text(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.blocks, self.current, self.skipping = [], [], 0

    def flush(self):
        text = ' '.join(''.join(self.current).split())
        if text:
            self.blocks.append(text)
        self.current = []

    def handle_starttag(self, tag, attrs):
        if tag in SKIP:
            self.skipping += 1
        if tag in BLOCKS:
            self.flush()
            if tag == 'li':
                self.current.append('- ')

    def handle_endtag(self, tag):
        if tag in SKIP:
            self.skipping -= 1
        if tag in BLOCKS:
            self.flush()

    def handle_data(self, data):
        if not self.skipping:
            self.current.append(data)


def main():
    with open(sys.argv[1], encoding='utf-8', errors='replace') as f:
        page = f.read()
    parser = Text()
    parser.feed(page)
    parser.flush()
    blocks = [b for b in parser.blocks if not b.startswith(('Pixelnab 2.0 Help', 'Overview |'))]
    out = []
    for block in blocks:
        indent = '  ' if block.startswith('- ') else ''
        out.append(textwrap.fill(block, 78, subsequent_indent=indent))
    sys.stdout.write('\n\n'.join(out) + '\n')


if __name__ == '__main__':
    main()
