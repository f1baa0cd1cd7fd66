#include "render/frame.h"

#include "render/projection.h"

void ComposeFrame(PuzzleGame& game, Canvas& canvas) {
    // One pixel past the bitmap: only the top row and left column of the outline show.
    canvas.SelectBrush(kBackgroundBrush);
    canvas.Rectangle(0, 0, kFrameWidth + 1, kFrameHeight + 1);
    if (game.m_solved != 0) {
        canvas.SelectBrush(kSolvedBrush);
        canvas.Rectangle(0, 0, kFrameWidth + 1, kFrameHeight + 1);
    }
    DrawPuzzle(game, canvas);
}

void DrawPuzzle(PuzzleGame& game, Canvas& canvas) {
    BuildDrawOrder(game, game.m_drawOrder);
    for (const int slot : game.m_drawOrder) {
        DrawPiece(game.m_pieces[slot], game.m_skin, canvas);
    }
}

void DrawPiece(const Piece& piece, Skin skin, Canvas& canvas) {
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
        if (skin == Skin::Plain) {
            canvas.SelectBrush(kBrushes[piece.faceColour[f]]);
            canvas.Polygon(points, piece.faceVertexCount[f]);
            continue;
        }
        canvas.SelectBrush(kBrushes[piece.faceColour[f] == kColourGrey ? kColourGrey : kColourWhite]);
        canvas.Polygon(points, piece.faceVertexCount[f]);
        const int st = piece.faceSticker[f];
        if (st != -1) {
            for (int k = 0; k < piece.stickerVertexCount[st]; ++k) {
                const int v = piece.stickerVertex[st][k];
                points[k] = Point{piece.sx[v], piece.sy[v]};
            }
            canvas.SelectBrush(kBrushes[piece.stickerColour[st]]);
            canvas.Polygon(points, piece.stickerVertexCount[st]);
        }
    }
}
