#include "render/frame.h"

#include "render/projection.h"

void ComposeFrame(const PuzzleGame& game, Canvas& canvas, int (&drawOrder)[8]) {
    // One pixel past the bitmap: only the top row and left column of the outline show.
    canvas.SelectBrush(g_backgroundBrush);
    canvas.Rectangle(0, 0, kFrameWidth + 1, kFrameHeight + 1);
    if (g_solved != 0) {
        canvas.SelectBrush(g_solvedBrush);
        canvas.Rectangle(0, 0, kFrameWidth + 1, kFrameHeight + 1);
    }
    DrawPuzzle(game, canvas, drawOrder);
}

void DrawPuzzle(const PuzzleGame& game, Canvas& canvas, int (&drawOrder)[8]) {
    BuildDrawOrder(game, drawOrder);
    for (const int slot : drawOrder) {
        DrawPiece(g_pieces[slot], canvas);
    }
}

void DrawPiece(const Piece& piece, Canvas& canvas) {
    // Facing of every face first, as the device does, before anything is drawn.
    bool away[7] = {};
    const int faceCount = piece.faceCount < 7 ? piece.faceCount : 7;
    for (int f = 0; f < faceCount; ++f) {
        away[f] = IsFacingAway(piece, f);
    }
    Point points[5];
    for (int f = 0; f < faceCount; ++f) {
        if (away[f]) {
            continue;
        }
        for (int k = 0; k < piece.faceVertexCount[f]; ++k) {
            const int v = piece.faceVertex[f][k];
            points[k] = Point{piece.sx[v], piece.sy[v]};
        }
        if (g_skin == Skin::Plain) {
            canvas.SelectBrush(g_brushes[piece.faceColour[f]]);
            canvas.Polygon(points, piece.faceVertexCount[f]);
            continue;
        }
        canvas.SelectBrush(g_brushes[piece.faceColour[f] == kColourGrey ? kColourGrey : kColourWhite]);
        canvas.Polygon(points, piece.faceVertexCount[f]);
        const int st = piece.faceSticker[f];
        if (st != -1) {
            for (int k = 0; k < piece.stickerVertexCount[st]; ++k) {
                const int v = piece.stickerVertex[st][k];
                points[k] = Point{piece.sx[v], piece.sy[v]};
            }
            canvas.SelectBrush(g_brushes[piece.stickerColour[st]]);
            canvas.Polygon(points, piece.stickerVertexCount[st]);
        }
    }
}
