{ Stand-in for the QuorGraf toolbox unit: the routines that generated
  Pascal drawings call, with their argument lists, and empty bodies. }
unit QuorGraf;
{$mode objfpc}
interface
procedure H_Init(Mode: Integer);
procedure H_InitGraph;
procedure H_ResetWindow;
procedure H_DrawQuorGraphTestFrame(Title: String);
procedure H_SetWindow(X1, Y1, X2, Y2, WXMin, WYMin, WXMax, WYMax: Real; KeepRatio, Frame: Boolean);
procedure H_ClearViewPort;
procedure H_ZoomKey(var Ch: Char);
procedure H_CloseGraph;
procedure H_SetColor(Colour: Integer);
procedure H_SetLineStyle(Style: Integer);
procedure H_SetTextStyle(Font: Integer; Angle, Height, Width: Real);
procedure H_MoveTo(X, Y: Real);
procedure H_Line(X1, Y1, X2, Y2: Real);
procedure H_Solid(X1, Y1, X2, Y2, X3, Y3, X4, Y4: Real);
procedure H_Circle(X, Y, R: Real);
procedure H_Arc(X, Y, StartAngle, EndAngle, R: Real);
procedure H_OutTextXy(X, Y: Real; Text: AnsiString);
implementation
procedure H_Init(Mode: Integer); begin end;
procedure H_InitGraph; begin end;
procedure H_ResetWindow; begin end;
procedure H_DrawQuorGraphTestFrame(Title: String); begin end;
procedure H_SetWindow(X1, Y1, X2, Y2, WXMin, WYMin, WXMax, WYMax: Real; KeepRatio, Frame: Boolean); begin end;
procedure H_ClearViewPort; begin end;
procedure H_ZoomKey(var Ch: Char); begin Ch := #13; end;
procedure H_CloseGraph; begin end;
procedure H_SetColor(Colour: Integer); begin end;
procedure H_SetLineStyle(Style: Integer); begin end;
procedure H_SetTextStyle(Font: Integer; Angle, Height, Width: Real); begin end;
procedure H_MoveTo(X, Y: Real); begin end;
procedure H_Line(X1, Y1, X2, Y2: Real); begin end;
procedure H_Solid(X1, Y1, X2, Y2, X3, Y3, X4, Y4: Real); begin end;
procedure H_Circle(X, Y, R: Real); begin end;
procedure H_Arc(X, Y, StartAngle, EndAngle, R: Real); begin end;
procedure H_OutTextXy(X, Y: Real; Text: AnsiString); begin end;
end.
